#include "report/description.h"

#include <algorithm>
#include <charconv>
#include <ostream>

#include "archive/numbers.h"

namespace {

// Reads entry i of a list that may be shorter than ns; a missing entry reads 0.
template <typename List>
auto entryOrZero(const List& list, int i) {
  return static_cast<std::size_t>(i) < list.size() ? list[i] : typename List::value_type{};
}

}  // namespace

std::vector<PlateRecord> buildPlateTable(const CrossSection& section) {
  std::vector<PlateRecord> table;
  table.reserve(static_cast<std::size_t>(std::max(section.ns, 0)));
  for (int i = 0; i < section.ns; ++i) {
    table.push_back({entryOrZero(section.b_r, i), entryOrZero(section.t_r, i),
                     entryOrZero(section.alpha_r, i)});
  }
  return table;
}

SectionShape classifySection(const CrossSection& section) {
  if (section.nk3 != 0) return SectionShape::Branched;
  // Independent closed cells of a connected plate graph; wide to avoid overflow.
  const long long cells = static_cast<long long>(section.ns) - section.nk + 1;
  return cells >= 1 ? SectionShape::ClosedChain : SectionShape::OpenChain;
}

void printTitle(const std::string& title, char fill, std::ostream& out) {
  const std::string frame(title.size(), fill);
  out << frame << '\n' << std::flush;
  out << title << '\n' << std::flush;
  out << frame << '\n' << std::flush;
}

void printPlateRow(const PlateRecord& record, int index, std::ostream& out) {
  // printf's "          %2d %6.2f %6.3f %6.2f\n", built in one buffer.
  char row[4 * 400];
  char* at = std::copy_n("          ", 10, row);
  if (index + 1 < 10) *at++ = ' ';
  at = std::to_chars(at, at + 12, index + 1).ptr;
  *at++ = ' ';
  at = formatFixed(record.b_r, 2, 6, at);
  *at++ = ' ';
  at = formatFixed(record.t_r, 3, 6, at);
  *at++ = ' ';
  at = formatFixed(record.alpha_r, 2, 6, at);
  *at++ = '\n';
  out.write(row, at - row);
}

void printDescription(const CrossSection& section, std::ostream& out) {
  printTitle("Querschnittsbeschreibung", '=', out);
  for (const std::string& line : section.explanation) out << line << '\n' << std::flush;
  out << "Der Querschnitt besitzt " << section.nk << " Knoten und " << section.ns << " Scheiben.\n"
      << std::flush;
  switch (classifySection(section)) {
    case SectionShape::Branched:
      out << "Es gibt " << section.nk3 << " Verzweigungsknoten und " << section.nk1
          << " Endknoten.\n";
      break;
    case SectionShape::ClosedChain:
      out << "Es ist ein geschlossener Scheibenzug\n";
      break;
    case SectionShape::OpenChain:
      out << "Es ist ein offener Scheibenzug\n";
      break;
  }
  out << std::flush;
  out << '\n' << std::flush;
  out << "Einheiten: " << section.Kraft << " und " << section.Laenge << '\n' << std::flush;
  out << '\n' << std::flush;
  if (section.nk3 == 0) {
    out << "Scheiben:"
        << "   r   b_r     t_r       alpha_r " << '\n'
        << std::flush;
    const std::vector<PlateRecord> table = buildPlateTable(section);
    for (std::size_t i = 0; i < table.size(); ++i)
      printPlateRow(table[i], static_cast<int>(i), out);
  }
  out << '\n' << std::flush;
}
