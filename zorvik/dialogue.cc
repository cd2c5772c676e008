#include "zorvik/dialogue.h"

#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "archive/numbers.h"
#include "console/console.h"
#include "console/value_rules.h"
#include "rounding/generation.h"
#include "section/cross_section.h"
#include "zorvik/round_lines.h"

namespace {

// The run's settings, fixed once the questions are answered.
struct RoundingSettings {
  int plateCount = 0;
  int radiusCount = 1;
  double firstRadius = 0.0;
  double lastRadius = 0.0;
  int subdivide = 0;
  double E = 0.0;  // of the section, for the plate stiffness of a thickness
  double MUE = 0.0;
  GenerationSettings round;  // thickness, shape, elements and division numbers
};

int refuse(Console& console, const std::string& inputName, const std::string& reason) {
  writeLine(console.out(), "Cannot use " + inputName + ": " + reason);
  writeText(console.out(), "Press key...");
  console.awaitKey();
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

// False when the file's thickness cannot be kept and the input ends before
// another is typed.
bool askThickness(Console& console, RoundingSettings& settings) {
  double& thickness = settings.round.thickness;
  const std::string loaded = formatReal(thickness);
  if (thicknessFits(thickness, settings.E, settings.MUE)) {
    const std::optional<double> answer = ask(
        console, " Thickness [return=old]: ",
        [&](const std::string& text) { return checkThickness(text, settings.E, settings.MUE); },
        [&](const std::string& text) {
          return notAThickness(text) + ", or Return to keep " + loaded + ".";
        });
    writeLine(console.out(), answer ? "" : loaded);
    if (answer) thickness = *answer;
    return true;
  }
  // A thickness that the check refuses is never a default.
  const std::string cannotKeep =
      " The thickness in the file, " + loaded + ", cannot be kept: type one.";
  writeLine(console.out(), cannotKeep);
  for (;;) {
    const std::optional<double> answer = ask(
        console, " Thickness: ",
        [&](const std::string& text) { return checkThickness(text, settings.E, settings.MUE); },
        [&](const std::string& text) { return notAThickness(text) + "."; });
    writeLine(console.out(), "");
    if (answer) {
      thickness = *answer;
      return true;
    }
    if (console.inputEnded()) return false;
    writeLine(console.out(), cannotKeep);
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
    const std::optional<double> from = parseNumber(first);
    if (!from) {
      writeLine(console.out(), notARangeToken(first));
      console.dropRestOfLine();
      continue;
    }
    if (!console.readToken(last)) {
      settings.firstRadius = *from;
      return;
    }
    const std::optional<double> to = parseNumber(last);
    if (!to) {
      writeLine(console.out(), notARangeToken(last));
      console.dropRestOfLine();
      continue;
    }
    if (isRadiusRange(*from, *to)) {
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

}  // namespace

int runRounding(const std::string& inputName, Console& console) {
  std::ostream& out = console.out();
  RoundingSettings settings;

  // First look: describe the section and take its plate count and thickness.
  {
    CrossSection section;
    const Result usable = loadForRounding(inputName, section, &out);
    if (!usable) return refuse(console, inputName, usable.reason());
    settings.plateCount = section.ns;
    settings.round.thickness = section.t_r[0];
    settings.E = section.E;
    settings.MUE = section.MUE;
    printFirstLook(out, inputName, section);
  }
  settings.firstRadius = defaultRadius(settings.round.thickness);
  settings.lastRadius = 3 * settings.round.thickness;

  if (!askThickness(console, settings)) {
    writeLine(out, " The input ended before a thickness was given: no files.");
    return 1;
  }
  if (!askRadii(console, settings)) return 1;
  askShape(console, settings);
  askSubdivision(console, settings);

  writeLine(out, "");
  const std::vector<double> radii =
      radiusSeries(settings.firstRadius, settings.lastRadius, settings.radiusCount);
  const Result plan = checkOutputPlan({inputName}, plannedRounds({inputName}, "", radii.size()));
  if (!plan) {
    writeLine(out, "No files: " + plan.reason());
    writeText(out, "Press key...");
    console.awaitKey();
    return 2;
  }
  writeLine(out, "Generated Files: ");
  int exitCode = 0;
  for (std::size_t i = 0; i < radii.size(); ++i) {
    if (!printRound(out, inputName, settings.round, radii[i], static_cast<int>(i) + 1)) {
      exitCode = 1;
    }
  }
  writeText(out, "Press key...");
  console.awaitKey();
  return exitCode;
}
