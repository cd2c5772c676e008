#include "app/rounding_run.h"

#include <cmath>
#include <limits>
#include <ostream>
#include <string>
#include <vector>

#include "app/console_input.h"
#include "archive/numbers.h"
#include "report/description.h"
#include "rounding/generation.h"
#include "section/cross_section.h"

namespace {

// The run's settings, fixed once the questions are answered.
struct RoundingSettings {
  std::string inputName;
  int plateCount = 0;
  int radiusCount = 1;
  double firstRadius = 0.0;
  double lastRadius = 0.0;
  int subdivide = 0;
  GenerationSettings round;  // thickness, shape, elements and division numbers
};

// An answer's number truncated toward zero, held within the range of int.
int truncateToInt(double value) {
  if (!(value > std::numeric_limits<int>::min() - 1.0)) return std::numeric_limits<int>::min();
  if (!(value < std::numeric_limits<int>::max() + 1.0)) return std::numeric_limits<int>::max();
  return static_cast<int>(value);
}

std::string joined(const std::vector<int>& numbers) {
  std::string text;
  for (std::size_t i = 0; i < numbers.size(); ++i) {
    text += (i == 0 ? "" : i + 1 == numbers.size() ? " and " : ", ") + std::to_string(numbers[i]);
  }
  return text;
}

// Why a loaded section cannot be rounded; success when it can.
Result checkUsable(const CrossSection& section) {
  if (section.ns < 1) return Result::failure("the section has no plates");
  if (section.Typ == 1) {
    const Result chain = section.checkChain();
    if (!chain) return chain;
  }
  if (1 - section.MUE * section.MUE == 0) {
    return Result::failure("Poisson's ratio MUE = " + formatReal(section.MUE) +
                           " leaves the plate stiffness undefined");
  }
  return Result::success();
}

// What the rounding changes that the engineer may not expect, said once
// before the questions.
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

int refuse(Console& console, const std::string& inputName, const std::string& reason) {
  writeLine(console.out(), "Cannot use " + inputName + ": " + reason);
  writeText(console.out(), "Press key...");
  console.readKey();
  return 1;
}

void askThickness(Console& console, RoundingSettings& settings) {
  writeText(console.out(), " Thickness [return=old]: ");
  const std::string answer = console.readAnswer();
  if (answer.empty()) {
    writeLine(console.out(), formatReal(settings.round.thickness));
  } else {
    settings.round.thickness = toDouble(answer);
    writeLine(console.out(), "");
  }
}

// Returns false when the count is 0: the run ends there.
bool askRadii(Console& console, RoundingSettings& settings) {
  writeText(console.out(), "How many radiuses shall be evaluated [return=1]? ");
  const std::string answer = console.readAnswer();
  settings.radiusCount = answer.empty() ? 1 : toInt(answer);
  if (settings.radiusCount == 0) return false;
  if (settings.radiusCount == 1) {
    writeLine(console.out(), "1");
    writeText(console.out(), "Radius? ");
    console.readNumber(settings.firstRadius);
    settings.lastRadius = settings.firstRadius;
    writeLine(console.out(), "");
  } else {
    writeLine(console.out(), "");
    writeLine(console.out(), "Radius from ... to ... ? ");
    console.readNumber(settings.firstRadius);
    console.readNumber(settings.lastRadius);
  }
  return true;
}

void askShape(Console& console, RoundingSettings& settings) {
  writeText(console.out(), "Convex (0) or concave (1) [return=convex]? ");
  std::string answer = console.readAnswer();
  settings.round.convex = answer.empty() || toInt(answer) == 0;
  writeLine(console.out(), "");

  writeText(console.out(), "Number of elements for each corner [return=4]? ");
  answer = console.readAnswer();
  settings.round.elementsPerCorner =
      answer.empty() ? kDefaultElementsPerCorner : truncateToInt(toDouble(answer));
  writeLine(console.out(), "");
  if (settings.round.elementsPerCorner < 1) {
    writeLine(console.out(), " Fewer than 1 element per corner: the corners are not rounded.");
  }
}

void askSubdivision(Console& console, RoundingSettings& settings) {
  settings.round.divisionNumbers.assign(static_cast<std::size_t>(settings.plateCount), 1);
  writeText(console.out(), "Shall the elements be subdivided (1/0 return=0)?");
  const std::string answer = console.readAnswer();
  settings.subdivide = answer.empty() ? 0 : truncateToInt(toDouble(answer));
  writeLine(console.out(), "");
  if (settings.subdivide != 1) return;
  writeLine(console.out(),
            "Input a division-number for each plate (e.g. 2 4 2 for a C-Section"
            " or 1 2 5 2 1  for a lipped channel) ");
  for (int& number : settings.round.divisionNumbers) console.readNumber(number);
}

// One radius: its two files, or the line that says why there are none.
// Returns false when a file was not written.
bool runRound(Console& console, const RoundingSettings& settings, double radius, int counter) {
  std::ostream& out = console.out();
  const std::string radiusText = formatReal(radius);
  const RoundOutcome outcome = generateRound(settings.inputName, settings.round, radius, counter);
  if (!outcome.loaded) {
    writeLine(out, settings.inputName + " could not be read again: " + outcome.loaded.reason() +
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

}  // namespace

int runRounding(const std::string& inputName, Console& console) {
  std::ostream& out = console.out();
  RoundingSettings settings;
  settings.inputName = inputName;

  // First look: describe the section and take its plate count and thickness.
  std::vector<std::string> notes;
  {
    CrossSection section;
    const Result loaded = section.load(inputName);
    if (!loaded) return refuse(console, inputName, loaded.reason());
    printDescription(section, out);
    const Result usable = checkUsable(section);
    if (!usable) return refuse(console, inputName, usable.reason());
    settings.plateCount = section.ns;
    settings.round.thickness = section.t_r[0];
    notes = renumberingNotes(section);
  }
  settings.firstRadius = 2 * settings.round.thickness;
  settings.lastRadius = 3 * settings.round.thickness;
  writeLine(out, "File : " + inputName);
  writeLine(out, " The section has " + std::to_string(settings.plateCount) + " Elements");
  writeLine(out, " The thickness is " + formatReal(settings.round.thickness));
  for (const std::string& note : notes) writeLine(out, note);
  writeLine(out, "");

  askThickness(console, settings);
  if (!askRadii(console, settings)) return 1;
  askShape(console, settings);
  askSubdivision(console, settings);

  // The series: the radius is accumulated by addition; the half step lets
  // the last radius in despite rounding error and keeps one more out.
  const double step = settings.radiusCount > 1 ? (settings.lastRadius - settings.firstRadius) /
                                                     (settings.radiusCount - 1)
                                               : settings.lastRadius;
  const double half = step * 0.5;
  writeLine(out, "");
  writeLine(out, "Generated Files: ");
  int exitCode = 0;
  int counter = 1;
  for (double radius = settings.firstRadius; step > 0 && radius < settings.lastRadius + half;
       ++counter) {
    if (!runRound(console, settings, radius, counter)) exitCode = 1;
    const double next = radius + step;
    if (next == radius) break;  // the step no longer moves the radius
    radius = next;
  }
  writeText(out, "Press key...");
  console.readKey();
  return exitCode;
}
