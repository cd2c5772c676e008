#include "section/material.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

#include "section/cross_section.h"
#include "tests/unit/test_files.h"

namespace {

TEST(MaterialTest, RefusesWhatTheArithmeticCannotCarry) {
  const double inf = std::numeric_limits<double>::infinity();
  const struct {
    double E, G, MUE;
    const char* reason;
  } cases[] = {
      {-210, 80, 0.3, "E = -210 is not a modulus above 0"},
      {0, 80, 0.3, "E = 0 is not a modulus above 0"},
      {inf, 80, 0.3, "E = inf is not a modulus above 0"},
      {NAN, 80, 0.3, "E = nan is not a modulus above 0"},
      {1e-320, 80, 0.3, "E = 9.99989e-321 is too small a modulus to compute with"},
      {210, -1, 0.3, "G = -1 is not a modulus above 0"},
      {210, 80, 0.5, "MUE = 0.5 is not between -1 and 0.5"},
      {210, 80, -1, "MUE = -1 is not between -1 and 0.5"},
      {210, 80, NAN, "MUE = nan is not between -1 and 0.5"},
      {1e308, 1e308, -0.9999999999, "E = 1e+308 and MUE = -1 give no finite plate stiffness"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(checkMaterial(c.E, c.G, c.MUE).reason(), c.reason);
    EXPECT_TRUE(checkMaterial(c.E, c.G, c.MUE).isRefused());
  }
  EXPECT_TRUE(checkMaterial(210, 80.77, 0.3).ok());
  EXPECT_TRUE(checkMaterial(1e308, 1e308, 0.3).ok());
  EXPECT_TRUE(checkMaterial(210, 80, -0.99).ok());
}

TEST(MaterialTest, EveryPlateNeedsAStiffness) {
  CrossSection section;
  section.E = 1e307;
  section.t_r = {2, 1, 20};
  EXPECT_EQ(checkSectionMaterial(section).reason(),
            "the thickness 20 of plate 3 gives no finite plate stiffness above 0");
  section.t_r = {2, -1, 2};
  EXPECT_EQ(checkPlateStiffnesses(section).reason(),
            "the thickness -1 of plate 2 gives no finite plate stiffness above 0");
  section.t_r = {2, 1, 2};
  EXPECT_TRUE(checkSectionMaterial(section).ok());
  section.E = -5;
  EXPECT_EQ(checkSectionMaterial(section).reason(), "E = -5 is not a modulus above 0");
}

TEST(MaterialTest, AFileHoldsTheMaterialInsideItsRule) {
  // Six digits would write MUE = 0.4999999999 as 0.5, which the rule
  // refuses: the file gets the digits that keep it inside.
  TemporaryDirectory directory;
  const struct {
    double E, G, MUE;
    const char* line;
  } cases[] = {
      {210, 80.76923076923077, 0.3, "210 80.7692 0.3 "},
      {210, 80, 0.4999999999, "210 80 0.4999999999 "},
      {210, 80, -0.99999999, "210 80 -0.99999999 "},
      {210, 80, 0.49999999, "210 80 0.49999999 "},
  };
  for (const auto& c : cases) {
    CrossSection section;
    section.E = c.E;
    section.G = c.G;
    section.MUE = c.MUE;
    const std::string name = directory.path("m.kaf");
    ASSERT_TRUE(section.save(name).ok());
    const std::string text = readFile(name);
    const std::size_t at = text.find("*** E-Modul  G-MODUL MUE ***\n") + 29;
    EXPECT_EQ(text.substr(at, text.find('\n', at) - at), c.line);
    CrossSection loaded;
    ASSERT_TRUE(loaded.load(name).ok());
    EXPECT_TRUE(checkMaterial(loaded.E, loaded.G, loaded.MUE).ok()) << c.line;
  }
}

TEST(MaterialTest, SteelInEveryUnitSystem) {
  EXPECT_EQ(steelModulus("kN", "mm"), 210);
  EXPECT_EQ(steelModulus("N", "mm"), 210000);
  EXPECT_EQ(steelModulus("kN", "cm"), 21000);
  EXPECT_EQ(steelModulus("kip", "in"), 29500);
  EXPECT_EQ(steelModulus("lbf", "in"), 2.95e7);
  EXPECT_DOUBLE_EQ(steelModulus("kip", "ft"), 29500 * 144.0);
  EXPECT_EQ(steelModulus("kg", "mm"), 0);
  EXPECT_TRUE(checkUnits("MN", "m").ok());
  EXPECT_EQ(checkUnits("kg", "mm").reason(),
            "Not units: kg,mm. The forces are N, kN, MN, lbf and kip, the lengths mm, cm, m, in "
            "and ft, such as kN,mm.");
}

TEST(MaterialTest, AYieldStressFarFromTheModulusIsNoted) {
  CrossSection section;
  section.E = 210;  // kN/mm^2
  EXPECT_EQ(yieldStressNote(0.345, section, "x.kaf"), "");
  EXPECT_EQ(yieldStressNote(210.0 / 20, section, "x.kaf"), "");
  EXPECT_EQ(yieldStressNote(210.0 / 10000, section, "x.kaf"), "");
  EXPECT_EQ(yieldStressNote(345, section, "x.kaf"),
            "Note: f_y = 345 kN/mm^2 is more than E/20 of x.kaf; check the units.");
  EXPECT_EQ(yieldStressNote(0.0002, section, "x.kaf"),
            "Note: f_y = 0.0002 kN/mm^2 is less than E/10000 of x.kaf; check the units.");
}

}  // namespace
