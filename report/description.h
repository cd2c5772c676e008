// The section description printed before the dialogue: a framed title, the
// explanation lines, counts, the shape (branched, open or closed chain), the
// units and, for an unbranched section, a table of its plates. German texts.
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

#include "section/cross_section.h"

enum class SectionShape { Branched, ClosedChain, OpenChain };

// One row of the plate table of the description.
struct PlateRecord {
  double b_r = 0.0;
  double t_r = 0.0;
  double alpha_r = 0.0;
};

// One record per plate; entries missing from a short list read 0.
std::vector<PlateRecord> buildPlateTable(const CrossSection& section);

// Branched when nk3 is not 0; otherwise closed when ns - nk + 1 >= 1, else open.
SectionShape classifySection(const CrossSection& section);

void printDescription(const CrossSection& section, std::ostream& out);
void printTitle(const std::string& title, char fill, std::ostream& out);
void printPlateRow(const PlateRecord& record, int index, std::ostream& out);
