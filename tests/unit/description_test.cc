#include "report/description.h"

#include <gtest/gtest.h>

#include <sstream>

#include "rounding/corner_rounding.h"
#include "rounding/thickness.h"

namespace {

CrossSection angleSection() {
  CrossSection section;
  section.explanation = {"Winkelprofil"};
  section.Kraft = "kN";
  section.Laenge = "mm";
  section.b_r = {100, 200, 100};
  section.alpha_r = {90, 0, -90};
  rebuildFromPlates(section);
  EXPECT_TRUE(setThickness(section, 1.5).ok());
  return section;
}

std::string describe(const CrossSection& section) {
  std::ostringstream out;
  printDescription(section, out);
  return out.str();
}

TEST(DescriptionTest, OpenChainWithPlateTable) {
  CrossSection section = angleSection();
  EXPECT_EQ(describe(section),
            "========================\n"
            "Querschnittsbeschreibung\n"
            "========================\n"
            "Winkelprofil\n"
            "Der Querschnitt besitzt 4 Knoten und 3 Scheiben.\n"
            "Es ist ein offener Scheibenzug\n"
            "\n"
            "Einheiten: kN und mm\n"
            "\n"
            "Scheiben:   r   b_r     t_r       alpha_r \n"
            "           1 100.00  1.500  90.00\n"
            "           2 200.00  1.500   0.00\n"
            "           3 100.00  1.500 -90.00\n"
            "\n");
  // Describing leaves the section as it was: a second description is the same.
  EXPECT_EQ(describe(section), describe(section));
  const std::vector<PlateRecord> table = buildPlateTable(section);
  ASSERT_EQ(table.size(), 3u);
  EXPECT_EQ(table[1].b_r, 200);
  EXPECT_EQ(table[2].alpha_r, -90);
}

TEST(DescriptionTest, BranchedSectionHasNoPlateTable) {
  CrossSection section;
  section.nk = 5;
  section.ns = 4;
  section.nk1 = 3;
  section.nk3 = 1;
  section.Kraft = "";
  section.Laenge = "";
  EXPECT_EQ(describe(section),
            "========================\n"
            "Querschnittsbeschreibung\n"
            "========================\n"
            "Der Querschnitt besitzt 5 Knoten und 4 Scheiben.\n"
            "Es gibt 1 Verzweigungsknoten und 3 Endknoten.\n"
            "\n"
            "Einheiten:  und \n"
            "\n"
            "\n");
}

TEST(DescriptionTest, ClassificationFollowsTheCounts) {
  const struct {
    int ns, nk, nk3;
    SectionShape shape;
  } cases[] = {{4, 5, 0, SectionShape::OpenChain},
               {4, 4, 0, SectionShape::ClosedChain},
               {6, 5, 0, SectionShape::ClosedChain},
               {4, 5, 1, SectionShape::Branched},
               {4, 5, -2, SectionShape::Branched},
               {0, 0, 0, SectionShape::ClosedChain},
               {0, 1, 0, SectionShape::OpenChain},
               {2147483647, -2147483647 - 1, 0, SectionShape::ClosedChain}};
  for (const auto& c : cases) {
    CrossSection section;
    section.ns = c.ns;
    section.nk = c.nk;
    section.nk3 = c.nk3;
    EXPECT_EQ(classifySection(section), c.shape) << c.ns << " " << c.nk << " " << c.nk3;
  }
}

TEST(DescriptionTest, ClosedChainWithoutPlatesAndWideRows) {
  CrossSection section;
  EXPECT_NE(
      describe(section).find("Es ist ein geschlossener Scheibenzug\n\nEinheiten: kN und mm\n\n"
                             "Scheiben:   r   b_r     t_r       alpha_r \n\n"),
      std::string::npos);
  std::ostringstream row;
  PlateRecord wide;
  wide.b_r = 12345.678;
  wide.t_r = 1234.5;
  wide.alpha_r = -1000;
  printPlateRow(wide, 99, row);
  EXPECT_EQ(row.str(), "          100 12345.68 1234.500 -1000.00\n");
}

TEST(DescriptionTest, ListsShorterThanTheirCountReadAsZero) {
  CrossSection section;
  section.ns = 2;
  section.nk = 3;
  section.b_r = {7};
  EXPECT_NE(describe(section).find("           2   0.00  0.000   0.00\n"), std::string::npos);
  const std::vector<PlateRecord> table = buildPlateTable(section);
  ASSERT_EQ(table.size(), 2u);
  EXPECT_EQ(table[1].b_r, 0);
}

}  // namespace
