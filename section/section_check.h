// The checks of a section's data that every program makes once a file is
// loaded, and the notes it shows beside them: one home, so that the four
// programs take the same files for the same reasons.
//
// CrossSection::load reads what a file holds and refuses a file whose layout
// is broken (a label missing, a list whose count disagrees with its
// numbers): that is a matter of reading, the same for every reader.
// checkSectionData judges the section those numbers make, whoever made it: a
// loaded file, zorvik-make's section before it is written, a round before it
// is saved; and zorvik, which may give every plate a new thickness, takes a
// file whose thicknesses no plate can have. So it is a call of its own after
// the load, which loadSection makes for a program.
#pragma once

#include <string>
#include <vector>

#include "platform/result.h"

class CrossSection;

// What a program takes of a file's thicknesses: zorvik may give every plate
// a new one, so that a thickness no plate can have is asked for again (or
// named when it would be kept) rather than refusing the file.
enum class FileThicknesses { kUsed, kMayBeReplaced };

// Whether the data make one section that every program can use, the reason
// naming the first thing that fails:
// - the section has plates, and its lists hold ns and nk entries;
// - every plate runs from a node to a node that the section has;
// - every number is finite, the material keeps its rule (checkMaterial) and,
//   where they are used, every plate's thickness gives it a stiffness;
// - every plate's b_r is not below 0, and b_r and alpha_r lead from its start
//   node to its end node, within 1e-6 of the section's size and the six
//   digits with which a file holds the numbers;
// - its lengths and thicknesses are small enough that every property and
//   every coordinate of a picture is a finite number.
Result checkSectionData(const CrossSection& section,
                        FileThicknesses thicknesses = FileThicknesses::kUsed);

// The lines that a program shows for a section it uses, each beginning with
// "Note: ": a modulus that is off for the file's units by a power of ten
// (modulusNote), and nodes that lie at one point though no plate joins them.
std::vector<std::string> sectionNotes(const CrossSection& section, const std::string& fileName);

// What a program calls to read a file: CrossSection::load, checkSectionData
// and, for a section that passes, its notes. Running out of memory is
// Result::failed("out of memory while reading it"), the section then empty.
Result loadSection(const std::string& fileName, CrossSection& section,
                   std::vector<std::string>& notes,
                   FileThicknesses thicknesses = FileThicknesses::kUsed);
