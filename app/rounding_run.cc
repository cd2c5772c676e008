#include "app/rounding_run.h"

#include <cmath>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "app/answer_checks.h"
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
  double E = 0.0;  // of the section, for the plate stiffness of a thickness
  double MUE = 0.0;
  GenerationSettings round;  // thickness, shape, elements and division numbers
};

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

// Asks until the answer is Return (nothing) or one that check takes; after
// any other answer, the line break, the message line and the question again.
template <typename Check, typename Message>
auto ask(Console& console, const std::string& prompt, Check check, Message message)
    -> decltype(check(std::string())) {
  for (;;) {
    writeText(console.out(), prompt);
    const std::string answer = console.readAnswer();
    if (answer.empty()) return std::nullopt;
    if (const auto taken = check(answer)) return taken;
    writeLine(console.out(), "");
    writeLine(console.out(), message(answer));
  }
}

void askThickness(Console& console, RoundingSettings& settings) {
  double& thickness = settings.round.thickness;
  const std::optional<double> answer = ask(
      console, " Thickness [return=old]: ",
      [&](const std::string& text) { return checkThickness(text, settings.E, settings.MUE); },
      [&](const std::string& text) {
        return notAThickness(text) + ", or Return to keep " + formatReal(thickness) + ".";
      });
  if (answer) {
    thickness = *answer;
    writeLine(console.out(), "");
  } else {
    writeLine(console.out(), formatReal(thickness));
  }
}

// Reads one radius; at the end of input the default stays.
void readSingleRadius(Console& console, RoundingSettings& settings) {
  for (;;) {
    writeText(console.out(), "Radius? ");
    std::string token;
    const bool read = console.readToken(token);
    writeLine(console.out(), "");
    if (!read) break;
    if (const std::optional<double> radius = checkRadius(token)) {
      settings.firstRadius = *radius;
      break;
    }
    writeLine(console.out(), notARadius(token));
    console.dropRestOfLine();
  }
  settings.lastRadius = settings.firstRadius;
}

// Reads the first and the last radius, on one line or two, until they form a
// range; at the end of input what was not read keeps its default.
void readRadiusRange(Console& console, RoundingSettings& settings) {
  for (;;) {
    writeLine(console.out(), "Radius from ... to ... ? ");
    std::string first;
    std::string last;
    if (!console.readToken(first)) return;
    const std::optional<double> from = wholeNumberText(first);
    if (!from) {
      writeLine(console.out(), notARangeToken(first));
      console.dropRestOfLine();
      continue;
    }
    if (!console.readToken(last)) {
      settings.firstRadius = *from;
      return;
    }
    const std::optional<double> to = wholeNumberText(last);
    if (!to) {
      writeLine(console.out(), notARangeToken(last));
      console.dropRestOfLine();
      continue;
    }
    if (*from > 0 && *from < *to) {
      settings.firstRadius = *from;
      settings.lastRadius = *to;
      return;
    }
    writeLine(console.out(), notARange(first, last));
    console.dropRestOfLine();
  }
}

// Returns false when the count is 0: the run ends there.
bool askRadii(Console& console, RoundingSettings& settings) {
  settings.radiusCount = ask(console, "How many radiuses shall be evaluated [return=1]? ",
                             checkRadiusCount, notARadiusCount)
                             .value_or(1);
  if (settings.radiusCount == 0) return false;
  if (settings.radiusCount == 1) {
    writeLine(console.out(), "1");
    readSingleRadius(console, settings);
  } else {
    writeLine(console.out(), "");
    readRadiusRange(console, settings);
  }
  return true;
}

void askShape(Console& console, RoundingSettings& settings) {
  settings.round.convex =
      ask(console, "Convex (0) or concave (1) [return=convex]? ", checkConvex, notConvexOrConcave)
          .value_or(true);
  writeLine(console.out(), "");

  settings.round.elementsPerCorner = ask(console, "Number of elements for each corner [return=4]? ",
                                         checkElementsPerCorner, notElementsPerCorner)
                                         .value_or(kDefaultElementsPerCorner);
  writeLine(console.out(), "");
  if (settings.round.elementsPerCorner < 1) {
    writeLine(console.out(), " Fewer than 1 element per corner: the corners are not rounded.");
  }
}

// Reads one division number per plate; at the end of input the rest stay 1.
void readDivisionNumbers(Console& console, std::vector<int>& numbers) {
  std::size_t plate = 0;
  std::string token;
  while (plate < numbers.size() && console.readToken(token)) {
    if (const std::optional<int> d = checkDivisionNumber(token)) {
      numbers[plate++] = *d;
      continue;
    }
    writeLine(console.out(), notADivisionNumber(static_cast<int>(plate) + 1, token));
    console.dropRestOfLine();
  }
}

void askSubdivision(Console& console, RoundingSettings& settings) {
  settings.round.divisionNumbers.assign(static_cast<std::size_t>(settings.plateCount), 1);
  settings.subdivide =
      ask(console, "Shall the elements be subdivided (1/0 return=0)?", checkSubdivide, notSubdivide)
          .value_or(0);
  writeLine(console.out(), "");
  if (settings.subdivide != 1) return;
  writeLine(console.out(),
            "Input a division-number for each plate (e.g. 2 4 2 for a C-Section"
            " or 1 2 5 2 1  for a lipped channel) ");
  readDivisionNumbers(console, settings.round.divisionNumbers);
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
    settings.E = section.E;
    settings.MUE = section.MUE;
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
