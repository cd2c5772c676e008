#include "report/property_table.h"

#include <algorithm>
#include <charconv>
#include <cmath>

#include "archive/numbers.h"

namespace {

struct Row {
  const char* name;
  int lengthPower;  // the unit of the row is Laenge to this power (0: degrees)
  double SectionProperties::*value;
  bool torsion;  // given only for an open section whose plates are connected
};

const Row kRows[] = {
    {"A", 2, &SectionProperties::area, false},
    {"y_c", 1, &SectionProperties::yc, false},
    {"z_c", 1, &SectionProperties::zc, false},
    {"I_y", 4, &SectionProperties::Iy, false},
    {"I_z", 4, &SectionProperties::Iz, false},
    {"I_yz", 4, &SectionProperties::Iyz, false},
    {"I_1", 4, &SectionProperties::I1, false},
    {"I_2", 4, &SectionProperties::I2, false},
    {"angle", 0, &SectionProperties::principalAngle, false},
    {"J", 4, &SectionProperties::J, true},
    {"y_s", 1, &SectionProperties::ys, true},
    {"z_s", 1, &SectionProperties::zs, true},
    {"I_w", 6, &SectionProperties::Iw, true},
    {"i_0", 1, &SectionProperties::i0, true},
    {"beta_1", 1, &SectionProperties::beta1, true},
    {"beta_2", 1, &SectionProperties::beta2, true},
};

const std::size_t kLabelWidth = 16;
const double kShownNoise = 1e-6;
const std::size_t kNarrowestColumn = 14;

std::string padLeft(const std::string& text, std::size_t width) {
  return text.size() >= width ? text : std::string(width - text.size(), ' ') + text;
}

std::string padRight(const std::string& text, std::size_t width) {
  return text.size() >= width ? text : text + std::string(width - text.size(), ' ');
}

std::string rowLabel(const Row& row, const std::string& length) {
  const std::string unit = row.lengthPower == 0   ? "deg"
                           : row.lengthPower == 1 ? length
                                                  : length + "^" + std::to_string(row.lengthPower);
  return std::string(row.name) + " [" + unit + "]";
}

bool has(const PropertyColumn& column, const Row& row) {
  return !row.torsion || column.properties.torsionAndWarping.ok();
}

// The values as the table shows them: the node coordinates of a file carry
// six significant digits, so a symmetric section is symmetric only to that.
// I_yz below 1e-6 (I_y + I_z) is 0 and the angle follows from 0; beta_1 and
// beta_2 below 1e-6 of the section's size are 0.
SectionProperties withoutNoise(const PropertyColumn& column) {
  SectionProperties p = column.properties;
  if (std::fabs(p.Iyz) < kShownNoise * (p.Iy + p.Iz)) {
    p.Iyz = 0.0;
    if (p.principalAngle != 0.0) p.principalAngle = p.Iy >= p.Iz ? 0.0 : 90.0;
  }
  const double size = sectionSize(*column.section);
  if (std::fabs(p.beta1) < kShownNoise * size) p.beta1 = 0.0;
  if (std::fabs(p.beta2) < kShownNoise * size) p.beta2 = 0.0;
  return p;
}

}  // namespace

std::string fullPrecision(double value) {
  char buffer[32];
  return std::string(
      buffer,
      std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, 17).ptr);
}

std::string formatTable(const TextTable& table) {
  std::size_t labelWidth = kLabelWidth;
  for (const auto& row : table.rows) labelWidth = std::max(labelWidth, row.first.size() + 2);
  std::vector<std::size_t> widths;
  for (const std::string& head : table.heads) {
    widths.push_back(std::max(kNarrowestColumn, head.size() + 2));
  }
  // A cell that would come closer than two blanks to the cell before it
  // widens its column to the cell and two blanks; the first column follows
  // the labels' padding.
  for (const auto& row : table.rows) {
    for (std::size_t i = 0; i < row.second.size() && i < widths.size(); ++i) {
      const std::size_t size = row.second[i].size();
      if (size > widths[i] || (i > 0 && size + 2 > widths[i])) widths[i] = size + 2;
    }
  }
  std::string text = padRight("", labelWidth);
  for (std::size_t i = 0; i < table.heads.size(); ++i) text += padLeft(table.heads[i], widths[i]);
  text += '\n' + padRight("units", labelWidth);
  for (std::size_t i = 0; i < table.units.size() && i < widths.size(); ++i) {
    text += padLeft(table.units[i], widths[i]);
  }
  text += '\n';
  for (const auto& [label, cells] : table.rows) {
    text += padRight(label, labelWidth);
    for (std::size_t i = 0; i < cells.size() && i < widths.size(); ++i) {
      text += padLeft(cells[i], widths[i]);
    }
    text += '\n';
  }
  return text;
}

std::string propertyTable(const std::vector<PropertyColumn>& columns) {
  if (columns.empty()) return std::string();
  const std::string& length = columns.front().section->Laenge;
  TextTable layout;
  for (const PropertyColumn& column : columns) {
    layout.heads.push_back(column.name);
    layout.units.push_back(column.section->Kraft + ", " + column.section->Laenge);
  }
  std::vector<SectionProperties> shown;
  for (const PropertyColumn& column : columns) shown.push_back(withoutNoise(column));
  for (const Row& row : kRows) {
    std::vector<std::string> cells;
    for (std::size_t i = 0; i < columns.size(); ++i) {
      cells.push_back(has(columns[i], row) ? formatReal(shown[i].*row.value) : "-");
    }
    layout.rows.emplace_back(rowLabel(row, length), std::move(cells));
  }
  std::string table = formatTable(layout);
  for (const PropertyColumn& column : columns) {
    if (column.properties.torsionAndWarping) continue;
    table += "No torsion and warping values for " + column.name + ": " +
             column.properties.torsionAndWarping.reason() + ".\n";
  }
  return table;
}

std::string csvField(const std::string& text) {
  if (text.find_first_of(",\"\r\n") == std::string::npos) return text;
  std::string quoted = "\"";
  for (char c : text) {
    if (c == '"') quoted += '"';
    quoted += c;
  }
  return quoted + "\"";
}

std::string propertyCsv(const std::vector<PropertyColumn>& columns) {
  const std::string length = columns.empty() ? "" : columns.front().section->Laenge;
  std::string csv = "file";
  for (const Row& row : kRows) csv += "," + csvField(rowLabel(row, length));
  csv += "\r\n";
  for (const PropertyColumn& column : columns) {
    csv += csvField(column.name);
    for (const Row& row : kRows) {
      csv += ",";
      if (has(column, row)) csv += fullPrecision(column.properties.*row.value);
    }
    csv += "\r\n";
  }
  return csv;
}

Result checkOneUnitSystem(const std::vector<std::string>& names,
                          const std::vector<const CrossSection*>& sections,
                          const std::string& advice) {
  for (std::size_t i = 1; i < sections.size(); ++i) {
    const CrossSection& first = *sections.front();
    const CrossSection& other = *sections[i];
    if (other.Kraft == first.Kraft && other.Laenge == first.Laenge) continue;
    return Result::failure(names.front() + " is in " + first.Kraft + " and " + first.Laenge +
                           ", but " + names[i] + " in " + other.Kraft + " and " + other.Laenge +
                           ": " + advice);
  }
  return Result::success();
}
