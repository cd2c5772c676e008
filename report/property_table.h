// The properties of several sections side by side: as a table for the
// console, and as CSV (RFC 4180) for a spreadsheet.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "report/section_properties.h"

struct PropertyColumn {
  std::string name;  // the file's name, shown at the head of its column
  const CrossSection* section;
  SectionProperties properties;
};

// The table: a head row of names, a row of units, a row per property; the
// unit labels are in the first section's length unit. Values that a section
// does not have are "-", and one line under the table says why.
std::string propertyTable(const std::vector<PropertyColumn>& columns);

// The same as CSV: a head row ("file", then each property with its unit),
// then one row per file, numbers with 17 significant digits and a point,
// empty fields for values a section does not have. Lines end with CR LF.
std::string propertyCsv(const std::vector<PropertyColumn>& columns);

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
