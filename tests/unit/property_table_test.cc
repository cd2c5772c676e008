#include "report/property_table.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/unit/test_sections.h"

namespace {

// Splits CSV text (RFC 4180, CR LF) into rows of fields.
std::vector<std::vector<std::string>> parseCsv(const std::string& text) {
  std::vector<std::vector<std::string>> rows(1, std::vector<std::string>(1));
  bool quoted = false;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    std::string& field = rows.back().back();
    if (quoted) {
      if (c == '"' && i + 1 < text.size() && text[i + 1] == '"') {
        field += '"';
        ++i;
      } else if (c == '"') {
        quoted = false;
      } else {
        field += c;
      }
    } else if (c == '"') {
      quoted = true;
    } else if (c == ',') {
      rows.back().emplace_back();
    } else if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
      ++i;
      rows.emplace_back(1);
    } else {
      field += c;
    }
  }
  rows.pop_back();  // after the last CR LF
  return rows;
}

TEST(PropertyCsvTest, ParsesBackToTheSameNamesAndNumbers) {
  const CrossSection open = chain({50, 100, 50}, {0, 90, 180});
  std::vector<PropertyColumn> columns = {
      {"plain.kaf", &open, computeProperties(open)},
      {"a \"quoted\", name\r\n.kaf", &open, computeProperties(open)}};
  const std::vector<std::vector<std::string>> rows = parseCsv(propertyCsv(columns));
  ASSERT_EQ(rows.size(), 3u);
  EXPECT_EQ(rows[0].front(), "file");
  EXPECT_EQ(rows[0][1], "A [mm^2]");
  for (std::size_t r = 1; r < rows.size(); ++r) {
    ASSERT_EQ(rows[r].size(), rows[0].size()) << r;
    EXPECT_EQ(rows[r][0], columns[r - 1].name);
  }
  // 17 significant digits read back to the same double.
  EXPECT_EQ(std::stod(rows[1][1]), columns[0].properties.area);
  EXPECT_EQ(std::stod(rows[1][7]), columns[0].properties.I1);
  EXPECT_EQ(std::stod(rows[2][13]), columns[1].properties.Iw);
  EXPECT_EQ(csvField("plain"), "plain");
  EXPECT_EQ(csvField("a,b"), "\"a,b\"");
}

TEST(TextTableTest, ACellNeverTouchesTheOneBeforeIt) {
  TextTable table;
  table.heads = {"a.kaf", "b.kaf"};
  table.units = {"kN, mm", "kN, mm"};
  table.rows = {{"source", {"longest length", "longest length"}},
                {"global", {"member 1500 mm, S-S", "braced"}}};
  const std::string label(16, ' ');
  // The first column widens to its longest cell and two blanks; the second
  // (14 wide, as its narrowest) as well, where a cell of 14 would touch.
  EXPECT_EQ(formatTable(table),
            label + std::string(16, ' ') + "a.kaf" + std::string(11, ' ') + "b.kaf\n" + "units" +
                std::string(11, ' ') + std::string(15, ' ') + "kN, mm" + std::string(10, ' ') +
                "kN, mm\n" + "source" + std::string(10, ' ') + std::string(7, ' ') +
                "longest length  longest length\n" + "global" + std::string(10, ' ') +
                "  member 1500 mm, S-S          braced\n");
  // Cells within their columns keep the narrowest width.
  table.rows = {{"source", {"longest length", "minimum"}}};
  const std::string text = formatTable(table);
  EXPECT_EQ(text.substr(text.rfind("source")),
            "source" + std::string(10, ' ') + "longest length" + std::string(7, ' ') + "minimum\n");
}

}  // namespace
