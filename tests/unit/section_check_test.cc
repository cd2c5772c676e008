#include "section/section_check.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <string>
#include <vector>

#include "archive/numbers.h"
#include "rounding/corner_rounding.h"
#include "rounding/thickness.h"
#include "section/cross_section.h"
#include "section/material.h"
#include "section/section_properties.h"
#include "tests/unit/test_files.h"
#include "tests/unit/test_sections.h"

namespace {

const std::vector<double> kLippedWidths = {20, 75, 200, 75, 20};
const std::vector<double> kLippedAngles = {90, 0, -90, 180, 90};
const char* const kExamples[] = {"angle", "channel", "hat", "lipped_channel", "zed"};

std::vector<int> ones(const CrossSection& section) {
  return std::vector<int>(static_cast<std::size_t>(section.ns), 1);
}

// The section as a file holds it: saved with six digits and loaded again.
CrossSection throughAFile(CrossSection section, const TemporaryDirectory& directory) {
  const std::string name = directory.path("through.kaf");
  EXPECT_TRUE(section.save(name).ok());
  CrossSection loaded;
  EXPECT_TRUE(loaded.load(name).ok());
  return loaded;
}

void moveBy(CrossSection& section, double dy, double dz) {
  for (double& y : section.nodeY) y += dy;
  for (double& z : section.nodeZ) z += dz;
}

TEST(SectionCheckTest, EveryExampleAndEveryRoundOfItIsTakenFromItsFile) {
  // The six digits of a file move every node; the check allows for that on
  // sections near the origin and far from it, turned, rounded or not.
  TemporaryDirectory directory;
  for (const char* name : kExamples) {
    CrossSection example;
    ASSERT_TRUE(example.load(std::string(ZORVIK_EXAMPLES) + "/" + name + ".kaf").ok());
    EXPECT_TRUE(checkSectionData(example).ok()) << name;
    for (double radius : {0.5, 2.0, 6.0}) {
      for (int n : {1, 4, 16}) {
        CrossSection rounded = example;
        const RoundingReport report = roundCorners(rounded, radius, n, n != 4, ones(rounded));
        if (!report.accepted || !report.misfitCorners.empty()) continue;
        ASSERT_TRUE(setThickness(rounded, 1.5).ok());
        for (const double offset : {0.0, 12345.6, -3e6}) {
          CrossSection moved = rounded;
          moveBy(moved, offset, -offset / 3);
          const Result taken = checkSectionData(throughAFile(moved, directory));
          EXPECT_TRUE(taken.ok()) << name << " R " << radius << " n " << n << " at " << offset
                                  << ": " << taken.reason();
        }
      }
    }
  }
  for (const double degrees : {0.0, 37.0, 123.456, -170.0}) {
    std::vector<double> angles = kLippedAngles;
    for (double& angle : angles) angle += degrees;
    CrossSection turned = chain(kLippedWidths, angles);
    EXPECT_TRUE(checkSectionData(throughAFile(turned, directory)).ok()) << degrees;
  }
}

// Nodes (0,0) (100,0) (100,100) (200,100): plate 2 runs down (alpha -90).
CrossSection stepSection(double secondAngle) {
  CrossSection section = fromLines({{0, 0, 100, 0}, {100, 0, 100, 100}, {100, 100, 200, 100}}, 2);
  section.alpha_r[1] = secondAngle;
  return section;
}

TEST(SectionCheckTest, PlatesMustLeadFromTheirStartNodeToTheirEndNode) {
  EXPECT_TRUE(checkSectionData(stepSection(-90)).ok());
  EXPECT_EQ(checkSectionData(stepSection(90)).reason(),
            "plate 2 runs from node 2 to node 3 (length 100, angle -90), but its b_r and "
            "alpha_r say 100 and 90");
  // Within the six digits of a file a node may move; 1e-4 of the section's
  // size is more than that.
  CrossSection section = stepSection(-90);
  section.nodeZ[2] += 0.001;
  EXPECT_TRUE(checkSectionData(section).ok());
  section.nodeZ[2] += 0.02;
  EXPECT_EQ(checkSectionData(section).reason(),
            "plate 2 runs from node 2 to node 3 (length 100.021, angle -90), but its b_r and "
            "alpha_r say 100 and -90");
  // A negative width that leads to the right node is still no width.
  section = stepSection(90);
  section.b_r[1] = -100;
  EXPECT_EQ(checkSectionData(section).reason(), "plate 2 has the width b_r = -100, below 0");
}

TEST(SectionCheckTest, AnAngleOfManyTurnsHoldsNoDirectionInSixDigits) {
  // 902161.5 degrees is -1.5 and 2506 turns: its six digits, 902162, are
  // half a degree off, which a plate of 100 shows at its end.
  TemporaryDirectory directory;
  CrossSection section = stepSection(-90);
  section.alpha_r[1] = -90 - 2506 * 360.0 + 0.5;
  rebuildFromPlates(section);
  EXPECT_TRUE(checkSectionData(section).ok());
  EXPECT_EQ(checkSectionData(throughAFile(section, directory)).reason(),
            "plate 2 runs from node 2 to node 3 (length 100, angle -89.5), but its b_r and "
            "alpha_r say 100 and -902250");
  // A round writes such an angle reduced, so that its file holds its direction.
  const RoundingReport report = roundCorners(section, 2, 4, true, ones(section));
  ASSERT_TRUE(report.accepted.ok()) << report.accepted.reason();
  EXPECT_EQ(section.alpha_r[1 + 4], -89.5);  // after plate 1 and the arc at node 2
  EXPECT_TRUE(checkSectionData(throughAFile(section, directory)).ok());
}

TEST(SectionCheckTest, ListsAndNodeNumbersMustHoldTogether) {
  CrossSection section = stepSection(-90);
  section.startNode[1] = INT_MIN;
  EXPECT_EQ(checkSectionData(section).reason(),
            "plate 2 starts at node -2147483648, which the section does not have");
  section = stepSection(-90);
  section.endNode[2] = 5;
  EXPECT_EQ(checkSectionData(section).reason(),
            "plate 3 ends at node 5, which the section does not have");
  section = stepSection(-90);
  section.t_r.pop_back();
  EXPECT_EQ(checkSectionData(section).reason(), "its plate lists do not hold ns = 3 entries");
  EXPECT_EQ(checkSectionData(CrossSection()).reason(), "the section has no plates");
}

TEST(SectionCheckTest, MaterialAndThicknessesFollowTheMaterialRule) {
  CrossSection section = stepSection(-90);
  section.E = -210;
  EXPECT_EQ(checkSectionData(section).reason(), "E = -210 is not a modulus above 0");
  section.E = 210;
  section.t_r[0] = -5;
  EXPECT_EQ(checkSectionData(section).reason(),
            "the thickness -5 of plate 1 gives no finite plate stiffness above 0");
  // zorvik gives the plates a thickness of its own.
  EXPECT_TRUE(checkSectionData(section, FileThicknesses::kMayBeReplaced).ok());
}

TEST(SectionCheckTest, SectionsTooLargeForTheirPropertiesAreRefused) {
  // Every section the check takes has finite properties; sizes far beyond
  // any structure (lengths of 1e35) are still taken.
  int largestTaken = -1;
  for (int power = 0; power <= 120; power += 5) {
    CrossSection section = chain(kLippedWidths, kLippedAngles);
    for (double& b : section.b_r) b *= std::pow(10.0, power);
    rebuildFromPlates(section);
    moveBy(section, 3 * std::pow(10.0, power), 0);
    const Result taken = checkSectionData(section);
    if (!taken) continue;
    largestTaken = power;
    const SectionProperties p = computeProperties(section);
    for (double value : {p.area, p.yc, p.zc, p.Iy, p.Iz, p.Iyz, p.I1, p.I2, p.principalAngle, p.J,
                         p.ys, p.zs, p.Iw, p.i0, p.beta1, p.beta2, sectionSize(section)}) {
      EXPECT_TRUE(std::isfinite(value)) << "1e" << power;
    }
  }
  EXPECT_GE(largestTaken, 35);
  EXPECT_LT(largestTaken, 100);
  CrossSection huge = chain(kLippedWidths, kLippedAngles);
  for (double& b : huge.b_r) b *= 1e100;
  rebuildFromPlates(huge);
  EXPECT_EQ(checkSectionData(huge).reason(),
            "its lengths (up to 2e+102) and thicknesses (up to 2) make its properties too "
            "large to compute");
  // A width of 1e308 from a node at -1e308 ends beyond the largest double.
  huge = chain(kLippedWidths, kLippedAngles);
  huge.b_r[1] = 1e308;
  huge.nodeY[1] = -1e308;
  EXPECT_EQ(checkSectionData(huge).reason(), "plate 2 has no finite length");
}

TEST(SectionCheckTest, NodesAtOnePointGetOneNote) {
  TemporaryDirectory directory;
  CrossSection tube = chain({100, 100, 100, 100}, {0, 90, 180, -90});
  tube.E = 210;
  const std::string note =
      "Note: nodes 1 and 5 of tube.kaf lie at one point; the section is analysed as open there.";
  EXPECT_EQ(sectionNotes(tube, "tube.kaf"), std::vector<std::string>{note});
  // The file's six digits keep them at one point.
  CrossSection far = tube;
  moveBy(far, 4321.5, -98765.4);
  EXPECT_EQ(sectionNotes(throughAFile(far, directory), "tube.kaf"), std::vector<std::string>{note});
  // Three turns of a square: three pairs, the first named.
  CrossSection coil = chain({10, 10, 10, 10, 10, 10}, {0, 90, 180, -90, 0, 90});
  coil.E = 210;
  EXPECT_EQ(sectionNotes(coil, "coil.kaf"),
            std::vector<std::string>{"Note: nodes 1 and 5 of coil.kaf lie at one point (and 2 "
                                     "more pairs of nodes); the section is analysed as open "
                                     "there."});
  // A plate of no length joins its two nodes: that is no note.
  CrossSection zero = chain({10, 0, 10}, {0, 90, 90});
  zero.E = 210;
  EXPECT_TRUE(sectionNotes(zero, "zero.kaf").empty());
  // Nodes a hundredth of the section apart are apart, however many.
  CrossSection fine = chain(kLippedWidths, kLippedAngles);
  ASSERT_TRUE(roundCorners(fine, 0, 0, true, std::vector<int>(5, 20000)).accepted.ok());
  fine.E = 210;
  EXPECT_TRUE(sectionNotes(fine, "fine.kaf").empty());
}

TEST(SectionCheckTest, AModulusOffForItsUnitsGetsOneNote) {
  const struct {
    double E;
    const char* force;
    const char* length;
    const char* note;
  } cases[] = {
      {210, "kN", "mm", ""},
      {70, "kN", "mm", ""},
      {2.1e8, "kN", "m", ""},
      {29500, "kip", "in", ""},
      {2.95e7, "lbf", "in", ""},
      {210, "kg", "mm", ""},  // units that no rule knows: no yardstick
      {210000, "kN", "mm", "about 1000 times steel's"},
      {21000, "kN", "mm", "about 100 times steel's"},
      {1500, "kN", "mm", "about 10 times steel's"},
      {0.21, "kN", "mm", "about 1/1000 of steel's"},
      {20500, "N", "cm", "about 1/1000 of steel's"},
      {29500, "lbf", "in", "about 1/1000 of steel's"},
  };
  for (const auto& c : cases) {
    CrossSection section;
    section.E = c.E;
    section.Kraft = c.force;
    section.Laenge = c.length;
    const std::string expected = std::string(c.note).empty()
                                     ? ""
                                     : "Note: E = " + formatReal(c.E) + " " + c.force + "/" +
                                           c.length + "^2 is " + c.note +
                                           "; check the units of f.kaf.";
    EXPECT_EQ(modulusNote(section, "f.kaf"), expected) << c.E << " " << c.force << c.length;
  }
}

TEST(SectionCheckTest, LoadSectionReadsChecksAndNotes) {
  TemporaryDirectory directory;
  CrossSection section;
  std::vector<std::string> notes{"old"};
  ASSERT_TRUE(loadSection(testDataPath("chan.kaf"), section, notes).ok());
  EXPECT_EQ(notes, std::vector<std::string>{"Note: E = 21000 kN/mm^2 is about 100 times "
                                            "steel's; check the units of " +
                                            testDataPath("chan.kaf") + "."});
  CrossSection soft = stepSection(-90);
  soft.MUE = 0.6;
  ASSERT_TRUE(soft.save(directory.path("soft.kaf")).ok());
  const Result refused = loadSection(directory.path("soft.kaf"), section, notes);
  EXPECT_TRUE(refused.isRefused());
  EXPECT_EQ(refused.reason(), "MUE = 0.6 is not between -1 and 0.5");
  EXPECT_TRUE(notes.empty());
}

}  // namespace
