// Fuzz target over the whole core: whatever a section file holds, loading it
// either fails with a reason or gives a section that can be checked, rounded,
// given a thickness, saved and loaded back to the same section. A section
// that the data check of every program takes has finite properties, and
// every file that a round writes passes that check. Reaching the index
// message of a section list counts as a crash.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include "report/section_picture.h"
#include "rounding/corner_rounding.h"
#include "rounding/generation.h"
#include "rounding/thickness.h"
#include "section/cross_section.h"
#include "section/plate_geometry.h"
#include "section/section_check.h"
#include "section/section_properties.h"
#include "unit/section_equality.h"

namespace {

bool indexMessageIsAFault(const char*, const char* message) {
  std::fprintf(stderr, "index message reached: %s\n", message);
  std::abort();
}

std::string scratchPath(const char* name) {
  static const std::filesystem::path directory = [] {
    std::random_device seed;
    auto path = std::filesystem::temp_directory_path() /
                ("zorvik-fuzz-" + std::to_string(seed()) + std::to_string(seed()));
    std::filesystem::create_directories(path);
    return path;
  }();
  return (directory / name).string();
}

void fault(const std::string& what) {
  std::fprintf(stderr, "%s\n", what.c_str());
  std::abort();
}

std::string fileBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Saves the section and loads it back: the file must read, and a second save
// must give the same bytes (numbers are written with six digits, so the first
// save may round what the input held, but nothing changes after that).
void expectRoundTrip(CrossSection& section) {
  const std::string first = scratchPath("first.kaf");
  const std::string second = scratchPath("second.kaf");
  if (!section.save(first)) return;  // a non-finite value: refused, as it should be
  CrossSection again;
  const Result reloaded = again.load(first);
  if (!reloaded) fault("a saved file does not load back: " + reloaded.reason());
  if (!again.save(second)) fault("a loaded section cannot be saved");
  CrossSection third;
  if (!third.load(second) || !sameFileContents(again, third)) fault("round trip changes it");
  if (fileBytes(first) != fileBytes(second)) fault("second save differs from the first");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const bool prompt = (setIndexPrompt(indexMessageIsAFault), true);
  (void)prompt;
  const std::string input = scratchPath("input.kaf");
  {
    std::ofstream out(input, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
  }
  CrossSection loaded;
  if (!loaded.load(input)) return 0;
  expectRoundTrip(loaded);
  if (checkSectionData(loaded)) {
    const SectionProperties p = computeProperties(loaded);
    for (double value : {p.area, p.yc, p.zc, p.Iy, p.Iz, p.Iyz, p.I1, p.I2, p.principalAngle, p.J,
                         p.ys, p.zs, p.Iw, p.i0, p.beta1, p.beta2}) {
      if (!std::isfinite(value)) fault("a section that the check takes has a property not finite");
    }
    sectionNotes(loaded, "input.kaf");
    const std::string picture = drawSections({{"input.kaf", &loaded, p}});
    if (picture.find("</svg>") == std::string::npos) fault("picture not closed");
  }

  const bool plainChain = checkRoundableSection(loaded).ok();
  // The last bytes of the input choose the settings too, so that the fuzzer
  // reaches every thickness rule, element count, division and shape.
  auto byteAt = [&](std::size_t back) { return size > back ? data[size - 1 - back] : 0; };
  const double thicknesses[] = {1.5, 0.0, -2.0, 1e-300, 1e102, 3.0, NAN, 0.25};
  struct Variant {
    double radius;
    int elements;
    bool convex;
  };
  const Variant variants[] = {{2, 4, true},
                              {15, 1, false},
                              {-3, 3, true},
                              {0.5, 0, false},
                              {0.1 + byteAt(0) % 50, byteAt(1) % 9, (byteAt(2) & 1) == 0}};
  for (std::size_t which = 0; which < std::size(variants); ++which) {
    const Variant& v = variants[which];
    GenerationSettings settings;
    // One choice in nine keeps each plate's own thickness.
    const std::size_t choice = (byteAt(3) + which) % (std::size(thicknesses) + 1);
    if (choice < std::size(thicknesses)) settings.thickness = thicknesses[choice];
    settings.ownThicknesses = thicknessRange(loaded);
    settings.elementsPerCorner = v.elements;
    settings.convex = v.convex;
    settings.divisionNumbers.resize(static_cast<std::size_t>(loaded.ns > 0 ? loaded.ns : 0));
    for (std::size_t k = 0; k < settings.divisionNumbers.size(); ++k) {
      settings.divisionNumbers[k] = static_cast<int>((k + byteAt(4)) % 4);
    }
    CrossSection section = loaded;
    const RoundingReport report =
        roundCorners(section, v.radius, v.elements, v.convex, settings.divisionNumbers);
    // A plain chain may still be refused (arc plates narrower than a file
    // holds, too many plates); anything else always is.
    if (report.accepted.ok() && !plainChain) fault("a section that is no plain chain was rounded");
    // The thickness brings t_r and K_r to the new plate count, as the program does.
    if (report.accepted && setThickness(section, 1.5) && section.Typ == kPlainSectionType &&
        !checkChain(section)) {
      fault("rounding broke the chain");
    }
    // The program's own round: every file it says it wrote loads and
    // round-trips, and a thickness without finite stiffness writes nothing.
    const RoundOutcome outcome = generateRound(input, settings, v.radius, 1);
    const bool stiff = settings.thickness ? thicknessFits(*settings.thickness, loaded.E, loaded.MUE)
                                          : checkOwnThicknesses(loaded).ok();
    if (!stiff && !outcome.files.empty()) fault("a thickness without stiffness was written");
    if (outcome.files.size() == 2 && outcome.files[0].saved.ok() != outcome.files[1].saved.ok()) {
      fault("one file of a round was written without its twin");
    }
    for (const WrittenFile& file : outcome.files) {
      if (!file.saved) continue;
      CrossSection written;
      const Result read = written.load(file.name);
      if (!read) fault("a generated file does not load: " + read.reason());
      const Result taken = checkSectionData(written);
      if (!taken) fault("a generated file fails the data check: " + taken.reason());
      expectRoundTrip(written);
    }
  }
  return 0;
}
