#include "section/material.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "section/cross_section.h"

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

}  // namespace
