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

// One radius: the names of its two files, or the line that says why there
// are none. False when a file was not written.
bool printRound(std::ostream& out, const std::string& inputName, const GenerationSettings& settings,
                double radius, int counter);
