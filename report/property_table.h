// The properties of several sections side by side: as a table for the
// console, and as CSV (RFC 4180) for a spreadsheet.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "section/section_properties.h"

struct PropertyColumn {
  std::string name;  // the file's name, shown at the head of its column
  const CrossSection* section;
  SectionProperties properties;
};

// The table: a head row of names, a row of units, a row per property, in
// the one unit system of the sections. Noise of the six-digit coordinates
// shows as 0: I_yz below 1e-6 (I_y + I_z), beta_1 and beta_2 below 1e-6 of
// the section's size (the CSV keeps every value). Values that a section
// does not have are "-", and one line under the table says why.
std::string propertyTable(const std::vector<PropertyColumn>& columns);

// The same as CSV: a head row ("file", then each property with its unit),
// then one row per file, numbers with 17 significant digits and a point,
// empty fields for values a section does not have. Lines end with CR LF.
std::string propertyCsv(const std::vector<PropertyColumn>& columns);

// Fails, naming the first section and the first whose force or length unit
// differs from it, when the sections are not in one unit system; advice
// ends the line ("view sections of one unit system together.").
Result checkOneUnitSystem(const std::vector<std::string>& names,
                          const std::vector<const CrossSection*>& sections,
                          const std::string& advice);

// A table of named columns: a head row of names, a row of units, then one
// row per label, each cell right-aligned in its column.
struct TextTable {
  std::vector<std::string> heads;
  std::vector<std::string> units;
  std::vector<std::pair<std::string, std::vector<std::string>>> rows;
};
std::string formatTable(const TextTable& table);

// A number with 17 significant digits, which reads back to the same double.
std::string fullPrecision(double value);

// A CSV field: quoted, with its quotes doubled, when it holds a comma, a
// quote or a line end.
std::string csvField(const std::string& text);
