#include "zorvik/round_lines.h"

#include <algorithm>
#include <ostream>
#include <tuple>

#include "archive/file_naming.h"
#include "archive/numbers.h"
#include "console/console.h"
#include "platform/platform.h"
#include "report/description.h"
#include "rounding/corner_rounding.h"
#include "rounding/generation.h"
#include "rounding/thickness.h"
#include "section/cross_section.h"
#include "section/section_check.h"

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

Result loadForRounding(const std::string& file, CrossSection& section,
                       std::vector<std::string>& notes, std::ostream* describeTo) {
  const Result loaded = loadSection(file, section, notes, FileThicknesses::kMayBeReplaced);
  if (!loaded) return loaded;
  if (describeTo) printDescription(section, *describeTo);
  return checkRoundableSection(section);
}

std::vector<std::string> renumberingNotes(const CrossSection& section) {
  std::vector<std::string> notes;
  if (section.Typ != kPlainSectionType) return notes;
  if (hasSpringsOrBearings(section)) {
    notes.push_back(
        " Note: the rounding renumbers nodes and plates; pendulum bars, springs and bearing "
        "elements keep the numbers of this file.");
  }
  if (hasEdgeSupports(section)) {
    notes.push_back(" Note: the rounding gives both end nodes free edge supports (code 0).");
  }
  return notes;
}

void printFirstLook(std::ostream& out, const std::string& inputName, const CrossSection& section,
                    const std::vector<std::string>& notes) {
  writeLine(out, "File : " + inputName);
  writeLine(out, " The section has " + std::to_string(section.ns) + " Elements");
  writeLine(out, " The thickness is " + formatReal(section.t_r[0]));
  const ThicknessRange range = thicknessRange(section);
  if (!range.uniform()) {
    writeLine(out, " The plates are " + formatReal(range.smallest) + " to " +
                       formatReal(range.largest) +
                       " thick: Return keeps each plate's own thickness.");
  }
  for (const std::string& note : notes) writeLine(out, " " + note);
  for (const std::string& note : renumberingNotes(section)) writeLine(out, note);
  writeLine(out,
            " Radii are measured to the centre line of the plates: the inner bend radius "
            "plus half the thickness.");
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

namespace {

// "Radius 30 does not fit at nodes 2 and 5".
std::string misfitText(double radius, const std::vector<int>& corners) {
  const bool one = corners.size() == 1;
  return "Radius " + formatReal(radius) + " does not fit at node" + (one ? " " : "s ") +
         joined(corners);
}

}  // namespace

std::string radiusMisfitLine(const CrossSection& section, double radius) {
  CrossSection copy = section;
  const RoundingReport report =
      roundCorners(copy, radius, kDefaultElementsPerCorner, true,
                   std::vector<int>(static_cast<std::size_t>(section.ns), 1));
  if (report.misfitCorners.empty()) return std::string();
  return " " + misfitText(radius, report.misfitCorners) + ": " + largestRadiusNote(section) + ".";
}

std::string earlierSeriesLine(const std::string& input, const std::string& outputFolder,
                              const std::vector<std::string>& written) {
  const std::string folder = outputFolder.empty() ? folderOf(input) : outputFolder;
  std::vector<std::string> writtenNames;
  for (const std::string& name : written) writtenNames.push_back(fileNameOf(name));
  std::vector<std::tuple<int, bool, std::string>> remaining;
  // A folder that cannot be listed names no earlier file: the rounds of
  // this run have said what they wrote there.
  std::vector<std::string> names;
  if (!platform::filesInFolder(folder, names)) return std::string();
  for (const std::string& name : names) {
    bool shear = false;
    const int number = roundCounterOf(name, input, shear);
    if (number == 0 || !platform::isRegularFile(inFolder(folder, name))) continue;
    if (std::find(writtenNames.begin(), writtenNames.end(), name) != writtenNames.end()) continue;
    remaining.emplace_back(number, shear, name);
  }
  if (remaining.empty()) return std::string();
  std::sort(remaining.begin(), remaining.end());
  const std::size_t shown = std::min<std::size_t>(remaining.size(), 10);
  std::string line = " Files of an earlier series remain: ";
  for (std::size_t i = 0; i < shown; ++i) line += (i == 0 ? "" : ", ") + std::get<2>(remaining[i]);
  if (remaining.size() > shown)
    line += " and " + std::to_string(remaining.size() - shown) + " more";
  return line + ".";
}

namespace {

// One radius: the names of its two files, or the line that says why there
// are none. False when a file was not written.
bool writeRound(std::ostream& out, const std::string& inputName, const GenerationSettings& settings,
                double radius, int counter, std::vector<std::string>& written, double innerRadius) {
  const std::string radiusText = formatReal(radius);
  RoundOutcome outcome;
  // The save removes its temporary file on the way out of memory.
  const Result generated = failedWhenOutOfMemory(
      [&] {
        outcome = generateRound(inputName, settings, radius, counter, innerRadius);
        return Result::success();
      },
      "out of memory");
  if (!generated) {
    writeLine(out, "No files for radius " + radiusText + " of " + inputName + ": " +
                       generated.reason() + ".");
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
    writeLine(out, " " + misfitText(radius, outcome.misfitCorners) + " (" + outcome.fitNote +
                       "): no files for this radius.");
    return false;
  }
  for (const WrittenFile& file : outcome.files) {
    writeLine(out, file.saved ? file.name : file.name + " was not written: " + file.saved.reason());
    if (file.saved) written.push_back(file.name);
  }
  return outcome.complete();
}

}  // namespace

bool writeFileRounds(std::ostream& out, const std::string& input, const FileRounds& rounds,
                     std::vector<std::string>& written) {
  if (rounds.radii.empty()) {
    writeLine(out, "No files for " + input + ": no radius was given.");
    return false;
  }
  bool allWritten = true;
  std::vector<std::string> writtenHere;
  for (std::size_t i = 0; i < rounds.radii.size(); ++i) {
    const double given = rounds.radii[i];
    // An inner bend radius lies half the thickness inside the centre line.
    const double radius = rounds.innerRadii ? given + *rounds.settings.thickness / 2 : given;
    allWritten = writeRound(out, input, rounds.settings, radius, static_cast<int>(i) + 1,
                            writtenHere, rounds.innerRadii ? given : 0.0) &&
                 allWritten;
  }
  written.insert(written.end(), writtenHere.begin(), writtenHere.end());
  const std::string earlier = earlierSeriesLine(input, rounds.settings.outputFolder, writtenHere);
  if (!earlier.empty()) writeLine(out, earlier);
  return allWritten;
}
