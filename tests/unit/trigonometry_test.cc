#include "section/trigonometry.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

const double kPi = 3.14159265358979323846;

TEST(TrigonometryTest, AgreesWithTheLibraryWithinTwoUnitsInTheLastPlace) {
  for (double degrees = -1000; degrees <= 1000; degrees += 0.37) {
    const double x = degrees * kPi / 180;
    const double s = std::sin(x);
    const double c = std::cos(x);
    EXPECT_NEAR(portableSin(x), s, 4e-16 * std::fmax(std::fabs(s), 1e-3)) << degrees;
    EXPECT_NEAR(portableCos(x), c, 4e-16 * std::fmax(std::fabs(c), 1e-3)) << degrees;
    if (std::fabs(c) > 1e-3) {
      EXPECT_NEAR(portableTan(x), std::tan(x), 1e-15 * std::fabs(std::tan(x)) + 1e-16) << degrees;
    }
  }
}

TEST(TrigonometryTest, MultiplesOfRightAnglesKeepTheirTinyResidues) {
  // cos of the double nearest pi/2 is the gap between it and pi/2.
  EXPECT_EQ(portableCos(90 * kPi / 180), 6.123233995736766e-17);
  // sin of the double nearest pi is the gap between it and pi.
  EXPECT_EQ(portableSin(180 * kPi / 180), 1.2246467991473532e-16);
  EXPECT_EQ(portableSin(0.0), 0.0);
  EXPECT_EQ(portableCos(0.0), 1.0);
  EXPECT_NEAR(portableTan(90 * kPi / 180), 1.633123935319537e16, 1e2);
  EXPECT_NEAR(portableTan(135 * kPi / 180), -1.0, 1e-15);
}

TEST(TrigonometryTest, HugeAndNonFiniteArgumentsStayDefined) {
  EXPECT_TRUE(std::isfinite(portableSin(1e300)));
  EXPECT_LE(std::fabs(portableCos(-1e300)), 1.0 + 1e-15);
  EXPECT_TRUE(std::isnan(portableSin(INFINITY)));
  EXPECT_TRUE(std::isnan(portableTan(NAN)));
}

}  // namespace
