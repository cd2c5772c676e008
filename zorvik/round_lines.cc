#include "zorvik/round_lines.h"

#include <new>
#include <ostream>

#include "archive/numbers.h"
#include "console/console.h"
#include "report/description.h"
#include "rounding/corner_rounding.h"
#include "rounding/generation.h"
#include "section/cross_section.h"

namespace {

// "2", "2 and 3", "2, 3 and 5".
std::string joined(const std::vector<int>& numbers) {
  std::string text;
  for (std::size_t i = 0; i < numbers.size(); ++i) {
    text += (i == 0 ? "" : i + 1 == numbers.size() ? " and " : ", ") + std::to_string(numbers[i]);
  }
  return text;
}

}  // namespace

Result checkUsable(const CrossSection& section) {
  if (section.ns < 1) return Result::failure("the section has no plates");
  if (section.Typ == 1) {
    const Result chain = checkChain(section);
    if (!chain) return chain;
  }
  if (1 - section.MUE * section.MUE == 0) {
    return Result::failure("Poisson's ratio MUE = " + formatReal(section.MUE) +
                           " leaves the plate stiffness undefined");
  }
  return Result::success();
}

Result loadForRounding(const std::string& file, CrossSection& section, std::ostream* describeTo) {
  Result loaded = Result::success();
  try {
    loaded = section.load(file);
  } catch (const std::bad_alloc&) {
    section = CrossSection();
    return Result::failure("out of memory while reading it");
  }
  if (!loaded) return loaded;
  if (describeTo) printDescription(section, *describeTo);
  return checkUsable(section);
}

std::vector<std::string> renumberingNotes(const CrossSection& section) {
  std::vector<std::string> notes;
  if (section.Typ != 1) return notes;
  if (section.nps > 0 || section.ndb > 0 || section.nsf > 0 || section.nlas > 0 ||
      section.nlak > 0) {
    notes.push_back(
        " Note: the rounding renumbers nodes and plates; pendulum bars, springs and bearing "
        "elements keep the numbers of this file.");
  }
  bool supported = false;
  for (int code : section.edgeSupportCode) supported = supported || code != 0;
  for (double value : section.edgeSupportValue) supported = supported || value != 0.0;
  if (supported) {
    notes.push_back(" Note: the rounding gives both end nodes free edge supports (code 0).");
  }
  return notes;
}

void printFirstLook(std::ostream& out, const std::string& inputName, const CrossSection& section) {
  writeLine(out, "File : " + inputName);
  writeLine(out, " The section has " + std::to_string(section.ns) + " Elements");
  writeLine(out, " The thickness is " + formatReal(section.t_r[0]));
  for (const std::string& note : renumberingNotes(section)) writeLine(out, note);
  writeLine(out, "");
}

std::vector<PlannedOutput> plannedRounds(const std::vector<std::string>& inputs,
                                         const std::string& outputFolder, std::size_t radiusCount) {
  std::vector<PlannedOutput> outputs;
  for (const std::string& input : inputs) {
    for (std::size_t counter = 1; counter <= radiusCount; ++counter) {
      const RoundFileNames names = roundFileNames(input, outputFolder, static_cast<int>(counter));
      outputs.push_back({names.mav3, input, true});
      outputs.push_back({names.mav4, input, true});
    }
  }
  return outputs;
}

bool printRound(std::ostream& out, const std::string& inputName, const GenerationSettings& settings,
                double radius, int counter) {
  const std::string radiusText = formatReal(radius);
  RoundOutcome outcome;
  try {
    outcome = generateRound(inputName, settings, radius, counter);
  } catch (const std::bad_alloc&) {
    // The save removed its temporary file on the way out.
    writeLine(out, "No files for radius " + radiusText + " of " + inputName + ": out of memory.");
    return false;
  }
  if (!outcome.loaded) {
    writeLine(out, inputName + " could not be read again: " + outcome.loaded.reason() +
                       "; no files for radius " + radiusText);
    return false;
  }
  if (!outcome.prepared) {
    writeLine(out, "No files for radius " + radiusText + ": " + outcome.prepared.reason());
    return false;
  }
  if (!outcome.misfitCorners.empty()) {
    const bool one = outcome.misfitCorners.size() == 1;
    writeLine(out, " Radius " + radiusText + " does not fit at node" + (one ? " " : "s ") +
                       joined(outcome.misfitCorners) + ": no files for this radius.");
    return false;
  }
  for (const WrittenFile& file : outcome.files) {
    writeLine(out, file.saved ? file.name : file.name + " was not written: " + file.saved.reason());
  }
  return outcome.complete();
}
