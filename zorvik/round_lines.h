// What a run says about one section and each of its rounds, the same for the
// dialogue and for the run without it.
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

#include "console/output_plan.h"
#include "platform/result.h"

class CrossSection;
struct GenerationSettings;

// Why a loaded section cannot be rounded; success when it can.
Result checkUsable(const CrossSection& section);

// Loads file into section, describes it on describeTo (unless null) and
// checks that it can be rounded; the reason when it cannot.
Result loadForRounding(const std::string& file, CrossSection& section, std::ostream* describeTo);

// What the rounding changes that the engineer may not expect, one line each.
std::vector<std::string> renumberingNotes(const CrossSection& section);

// "File : NAME", the plate count, the thickness, the notes and an empty line.
void printFirstLook(std::ostream& out, const std::string& inputName, const CrossSection& section);

// The files that the rounds of every input would write, for
// checkOutputPlan: radiusCount rounds of each.
std::vector<PlannedOutput> plannedRounds(const std::vector<std::string>& inputs,
                                         const std::string& outputFolder, std::size_t radiusCount);

// " Radius R does not fit at nodes 2 and 5: the largest that fits is M."
// when R does not fit every corner of the loaded section; empty when it does
// (or the section is not an open chain, which is never rounded).
std::string radiusMisfitLine(const CrossSection& section, double radius);

// " Files of an earlier series remain: ..." naming the files <base>-rrK<ext>
// and <base>-rrK-shear<ext> of input in the output folder that this run did
// not write (at most 10 names, then "and N more"); empty when there are none.
std::string earlierSeriesLine(const std::string& input, const std::string& outputFolder,
                              const std::vector<std::string>& written);

// One radius: the names of its two files, or the line that says why there
// are none. False when a file was not written.
// written collects the names of the files written.
bool printRound(std::ostream& out, const std::string& inputName, const GenerationSettings& settings,
                double radius, int counter, std::vector<std::string>& written,
                double innerRadius = 0.0);
