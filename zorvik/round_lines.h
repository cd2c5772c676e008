// The one flow of a file's rounds and what it says about the section and
// each round: the dialogue gathers a file's settings from the answers, the
// run with options from the options, and both hand them to writeFileRounds.
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

#include "console/output_plan.h"
#include "platform/result.h"
#include "rounding/generation.h"

class CrossSection;

// What one file's rounds are to make, however it was gathered.
struct FileRounds {
  GenerationSettings settings;  // output folder, thickness, shape, division numbers
  std::vector<double> radii;    // one round each, in order
  // The radii are inner bend radii: each round's radius on the centre line
  // is r + t/2, which needs one thickness (settings.thickness).
  bool innerRadii = false;
};

// Loads file into section by the data check of every program (loadSection;
// a thickness in the file that no plate can have is asked for or refused
// later, since the rounds may replace it), describes it on describeTo
// (unless null) and checks that it can be rounded (checkRoundableSection);
// the reason when it cannot. notes: the section's notes, for printFirstLook.
Result loadForRounding(const std::string& file, CrossSection& section,
                       std::vector<std::string>& notes, std::ostream* describeTo);

// What the rounding changes that the engineer may not expect, one line each.
std::vector<std::string> renumberingNotes(const CrossSection& section);

// "File : NAME", the plate count, the thickness, the notes of the file and
// of the rounding, and an empty line.
void printFirstLook(std::ostream& out, const std::string& inputName, const CrossSection& section,
                    const std::vector<std::string>& notes);

// The files that the rounds of every input would write, for
// checkOutputPlan: radiusCount rounds of each.
std::vector<PlannedOutput> plannedRounds(const std::vector<std::string>& inputs,
                                         const std::string& outputFolder, std::size_t radiusCount);

// " Radius R does not fit at nodes 2 and 5: the largest that fits is M."
// when R does not fit every corner of the loaded section; empty when it
// does. (Whether its arc plates are wide enough for a file depends on their
// number, which the round knows.)
std::string radiusMisfitLine(const CrossSection& section, double radius);

// " Files of an earlier series remain: ..." naming the files <base>-rrK<ext>
// and <base>-rrK-shear<ext> of input in the output folder that this run did
// not write (at most 10 names, then "and N more"); empty when there are none.
std::string earlierSeriesLine(const std::string& input, const std::string& outputFolder,
                              const std::vector<std::string>& written);

// The rounds of input, one per radius: the names of each round's two files
// or the line that says why there are none, then the line on files of an
// earlier series. written collects the names of the files written. False
// when a file that was asked for was not written.
bool writeFileRounds(std::ostream& out, const std::string& input, const FileRounds& rounds,
                     std::vector<std::string>& written);
