#include "zorvik/dialogue.h"

#include <functional>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "archive/numbers.h"
#include "console/console.h"
#include "console/program_shell.h"
#include "console/value_rules.h"
#include "platform/platform.h"
#include "rounding/generation.h"
#include "rounding/thickness.h"
#include "section/cross_section.h"
#include "zorvik/round_lines.h"

namespace {

// The run's settings, fixed once the questions are answered.
struct RoundingSettings {
  CrossSection loaded;  // as described, for the checks of the answers
  int radiusCount = 1;
  double firstRadius = 0.0;
  double lastRadius = 0.0;
  int subdivide = 0;
  GenerationSettings round;  // thickness, shape, elements and division numbers
};

// How the dialogue of one file ended.
enum class FileEnd { Done, NotDone, Stop };

// Asks until the answer is Return (false) or one that take accepts (true);
// after any other answer, the line break, the refusal and the question
// again. whatReturnDoes, when given, ends the refusal.
bool ask(Console& console, const std::string& prompt,
         const std::function<Result(const std::string&)>& take,
         const std::string& whatReturnDoes = std::string()) {
  for (;;) {
    writeText(console.out(), prompt);
    const std::string answer = console.readAnswer();
    if (answer.empty()) return false;
    const Result taken = take(answer);
    if (taken) return true;
    writeLine(console.out(), "");
    writeLine(
        console.out(),
        " " + (whatReturnDoes.empty() ? taken.reason() : withReturnAdvice(taken, whatReturnDoes)));
  }
}

// False when the file's thickness cannot be kept and the input ends before
// another is typed.
bool askThickness(Console& console, RoundingSettings& settings) {
  std::optional<double>& thickness = settings.round.thickness;
  const std::string shown = formatReal(settings.loaded.t_r[0]);
  const Result keepable = keptThickness(settings.loaded, thickness);
  const std::string keeping = thickness ? "keep " + shown : std::string("keep each plate's own");
  double typed = 0;
  auto take = [&](const std::string& text) {
    return checkThickness(text, settings.loaded.E, settings.loaded.MUE, typed);
  };
  if (keepable) {
    const bool answered = ask(console, " Thickness [return=old]: ", take, keeping);
    writeLine(console.out(), answered ? "" : shown);
    if (answered) thickness = typed;
    return true;
  }
  // A thickness that the check refuses is never a default.
  std::string reason = keepable.reason();
  reason[0] = 'T';
  const std::string cannotKeep = " " + reason + ": type one.";
  writeLine(console.out(), cannotKeep);
  for (;;) {
    const bool answered = ask(console, " Thickness: ", take);
    writeLine(console.out(), "");
    if (answered) {
      thickness = typed;
      return true;
    }
    if (console.keysEnded()) return false;
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
    double radius = 0;
    const Result taken = checkRadius(token, radius);
    if (taken) {
      // A radius that does not fit is asked again; the end of input keeps it.
      settings.firstRadius = radius;
      const std::string misfit = radiusMisfitLine(settings.loaded, radius);
      if (misfit.empty()) break;
      writeLine(console.out(), misfit);
    } else {
      writeLine(console.out(), " " + taken.reason());
    }
    console.dropRestOfLine();
  }
  settings.lastRadius = settings.firstRadius;
}

// Reads the first and the last radius, on one line or two, until they form a
// range. The first is checked as soon as it is typed; when the input ends
// after it, the last keeps its default and the two must still form a range:
// false when they do not. At the end of input before the first, both keep
// their defaults.
bool readRadiusRange(Console& console, RoundingSettings& settings) {
  for (;;) {
    writeLine(console.out(), "Radius from ... to ... ? ");
    std::string first;
    std::string last;
    if (!console.readToken(first)) return true;
    double from = 0;
    double to = settings.lastRadius;
    Result taken = checkFirstRadius(first, from);
    if (!taken) {
      writeLine(console.out(), " " + taken.reason());
      console.dropRestOfLine();
      continue;
    }
    const bool lastTyped = console.readToken(last);
    if (lastTyped) taken = checkRangeEnd(last, to);
    if (taken) taken = checkRadiusRange(first, lastTyped ? last : formatReal(to), from, to);
    if (!taken) {
      writeLine(console.out(), " " + taken.reason());
      if (!lastTyped) return false;
      console.dropRestOfLine();
      continue;
    }
    settings.firstRadius = from;
    settings.lastRadius = to;
    // The largest radius must fit; if not, both are asked again (the end
    // of input keeps them, and the rounds say that it does not fit).
    if (!lastTyped) return true;
    const std::string misfit = radiusMisfitLine(settings.loaded, to);
    if (misfit.empty()) return true;
    writeLine(console.out(), misfit);
    console.dropRestOfLine();
  }
}

// How the radius questions ended.
enum class RadiiEnd { Read, Stop, NoRange };

// Stop when the count is 0: the run ends there; NoRange when the input ended
// where a first radius and the default last one form no range.
RadiiEnd askRadii(Console& console, RoundingSettings& settings) {
  settings.radiusCount = 1;
  ask(console, "How many radiuses shall be evaluated [return=1]? ",
      [&](const std::string& text) { return checkRadiusCount(text, settings.radiusCount); });
  if (settings.radiusCount == 0) return RadiiEnd::Stop;
  if (settings.radiusCount == 1) {
    writeLine(console.out(), "1");
    readSingleRadius(console, settings);
    return RadiiEnd::Read;
  }
  writeLine(console.out(), "");
  return readRadiusRange(console, settings) ? RadiiEnd::Read : RadiiEnd::NoRange;
}

void askShape(Console& console, RoundingSettings& settings) {
  GenerationSettings& round = settings.round;
  round.convex = true;
  ask(console, "Convex (0) or concave (1) [return=convex]? ",
      [&](const std::string& text) { return checkConvex(text, round.convex); });
  writeLine(console.out(), "");

  round.elementsPerCorner = kDefaultElementsPerCorner;
  ask(console, "Number of elements for each corner [return=4]? ", [&](const std::string& text) {
    return checkElementsPerCorner(text, round.elementsPerCorner);
  });
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
    const std::string what = "a division number for plate " + std::to_string(plate + 1);
    const Result taken = checkWholeFromOne(token, what, numbers[plate]);
    if (taken) {
      ++plate;
      continue;
    }
    writeLine(console.out(), " " + taken.reason());
    console.dropRestOfLine();
  }
}

void askSubdivision(Console& console, RoundingSettings& settings) {
  settings.round.divisionNumbers.assign(static_cast<std::size_t>(settings.loaded.ns), 1);
  settings.subdivide = 0;
  ask(console, "Shall the elements be subdivided (1/0 return=0)?",
      [&](const std::string& text) { return checkSubdivide(text, settings.subdivide); });
  writeLine(console.out(), "");
  if (settings.subdivide != 1) return;
  settings.round.subdivided = true;
  writeLine(console.out(),
            "Input a division-number for each plate (e.g. 2 4 2 for a C-Section"
            " or 1 2 5 2 1  for a lipped channel) ");
  readDivisionNumbers(console, settings.round.divisionNumbers);
}

// The dialogue and the rounds of one file. written collects every file this
// run writes, so that no later file of the run writes over one.
FileEnd roundFile(const std::string& inputName, Console& console,
                  std::vector<std::string>& written) {
  std::ostream& out = console.out();
  RoundingSettings settings;

  // First look: describe the section and take its plate count and thickness.
  std::vector<std::string> notes;
  const Result usable = loadForRounding(inputName, settings.loaded, notes, &out);
  if (!usable) {
    writeLine(out, cannotUse(inputName, usable.reason()));
    return FileEnd::NotDone;
  }
  settings.round.ownThicknesses = thicknessRange(settings.loaded);
  printFirstLook(out, inputName, settings.loaded, notes);

  if (!askThickness(console, settings)) {
    writeLine(out, " The input ended before a thickness was given: no files.");
    return FileEnd::NotDone;
  }
  // The default radii follow the thickness of the run: the one typed, or
  // plate 1's where each plate keeps its own (then it is one a plate can have).
  const double runThickness = settings.round.thickness.value_or(settings.loaded.t_r[0]);
  settings.firstRadius = defaultRadius(runThickness);
  settings.lastRadius = 3 * runThickness;
  const RadiiEnd radii = askRadii(console, settings);
  if (radii == RadiiEnd::Stop) return FileEnd::Stop;
  if (radii == RadiiEnd::NoRange) {
    writeLine(out, " The input ended before a range of radii was given: no files.");
    return FileEnd::NotDone;
  }
  askShape(console, settings);
  askSubdivision(console, settings);

  writeLine(out, "");
  FileRounds rounds;
  rounds.settings = settings.round;
  rounds.radii = radiusSeries(settings.firstRadius, settings.lastRadius, settings.radiusCount);
  std::vector<PlannedOutput> outputs;
  for (const std::string& name : written) outputs.push_back({name, "an earlier file", true});
  for (const PlannedOutput& output : plannedRounds({inputName}, "", rounds.radii.size())) {
    outputs.push_back(output);
  }
  const Result plan = checkOutputPlan({inputName}, outputs);
  if (!plan) {
    writeLine(out, "No files: " + plan.reason());
    return FileEnd::NotDone;
  }
  writeLine(out, "Generated Files: ");
  return writeFileRounds(out, inputName, rounds, written) ? FileEnd::Done : FileEnd::NotDone;
}

}  // namespace

int runRounding(const std::vector<std::string>& inputNames, Console& console) {
  std::ostream& out = console.out();
  std::vector<std::string> written;
  int exitCode = 0;
  for (std::size_t i = 0; i < inputNames.size(); ++i) {
    if (i > 0) writeLine(out, "");
    const std::string& name = inputNames[i];
    if (inputNames.size() > 1 && !platform::fileExists(name)) {
      writeLine(out, cannotUse(name, "it does not exist"));
      exitCode = 1;
      continue;
    }
    const FileEnd end = roundFile(name, console, written);
    if (end == FileEnd::Stop) return 1;  // a radius count of 0 ends the whole run
    if (end == FileEnd::NotDone) exitCode = 1;
  }
  writeText(out, "Press key...");
  console.awaitKey();
  return exitCode;
}
