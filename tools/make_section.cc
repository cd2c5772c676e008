// make_section: writes an open plate chain as a KAF file, for the example
// sections and for test and benchmark inputs.
//
//   make_section OUT.kaf THICKNESS "EXPLANATION" WIDTH:ANGLE [WIDTH:ANGLE ...]
//       [--divide N]   split every plate into N equal plates
#include <iostream>
#include <string>
#include <vector>

#include "archive/numbers.h"
#include "rounding/corner_rounding.h"
#include "section/cross_section.h"

int main(int argc, char** argv) {
  if (argc < 5) {
    std::cerr << "usage: make_section OUT.kaf THICKNESS EXPLANATION WIDTH:ANGLE... [--divide N]\n";
    return 2;
  }
  CrossSection section;
  int divide = 1;
  for (int i = 4; i < argc; ++i) {
    const std::string argument = argv[i];
    if (argument == "--divide" && i + 1 < argc) {
      divide = toInt(argv[++i]);
      continue;
    }
    const std::size_t colon = argument.find(':');
    if (colon == std::string::npos) {
      std::cerr << "plate " << argument << " is not WIDTH:ANGLE\n";
      return 2;
    }
    section.b_r.push_back(toDouble(argument.substr(0, colon)));
    section.alpha_r.push_back(toDouble(argument.substr(colon + 1)));
  }
  section.explanation.push_back(argv[3]);
  section.rebuildFromPlates();
  if (divide > 1) {
    const RoundingReport divided =
        section.roundCorners(0, 0, true, std::vector<int>(section.b_r.size(), divide));
    if (!divided.accepted) {
      std::cerr << argv[1] << ": cannot divide the plates: " << divided.accepted.reason() << "\n";
      return 1;
    }
  }
  const Result thickness = section.setThickness(toDouble(argv[2]));
  const Result saved = thickness ? section.save(argv[1]) : thickness;
  if (!saved) {
    std::cerr << argv[1] << ": " << saved.reason() << "\n";
    return 1;
  }
  return 0;
}
