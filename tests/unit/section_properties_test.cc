#include "section/section_properties.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "rounding/corner_rounding.h"
#include "rounding/thickness.h"
#include "tests/unit/test_sections.h"

namespace {

void expectRelative(double actual, double expected, double tolerance = 1e-9) {
  EXPECT_NEAR(actual, expected, tolerance * std::max(std::fabs(expected), 1.0));
}

TEST(SectionPropertiesTest, SinglePlate) {
  const double b = 120;
  const double t = 3;
  const SectionProperties p = computeProperties(chain({b}, {0}, t));
  expectRelative(p.area, b * t);
  expectRelative(p.yc, -b / 2);
  expectRelative(p.zc, 0);
  expectRelative(p.Iy, b * t * t * t / 12);
  expectRelative(p.Iz, t * b * b * b / 12);
  expectRelative(p.Iyz, 0);
  expectRelative(p.I1, t * b * b * b / 12);
  expectRelative(p.I2, b * t * t * t / 12);
  expectRelative(p.principalAngle, 90);
}

TEST(SectionPropertiesTest, EqualAngle) {
  const double b = 60;
  const double t = 3;
  const SectionProperties p = computeProperties(chain({b, b}, {90, 0}, t));
  const double own = b * t * t * t / 12;
  expectRelative(p.area, 2 * b * t);
  expectRelative(p.yc, -b / 4);
  expectRelative(p.zc, -3 * b / 4);
  expectRelative(p.Iy, 5 * t * b * b * b / 24 + own);
  expectRelative(p.Iz, 5 * t * b * b * b / 24 + own);
  expectRelative(p.Iyz, t * b * b * b / 8);
  expectRelative(p.I1, t * b * b * b / 3 + own);
  expectRelative(p.I2, t * b * b * b / 12 + own);
  expectRelative(p.principalAngle, -45);
}

TEST(SectionPropertiesTest, Channel) {
  const double c = 60;
  const double h = 150;
  const double t = 2;
  const SectionProperties p = computeProperties(chain({c, h, c}, {0, 90, 180}, t));
  const double area = (2 * c + h) * t;
  const double yc = -c * (c + h) / (2 * c + h);
  expectRelative(p.area, area);
  expectRelative(p.yc, yc);
  expectRelative(p.zc, -h / 2);
  expectRelative(p.Iy, t * h * h * h / 12 + 2 * (c * t * t * t / 12 + c * t * h * h / 4));
  expectRelative(p.Iz, h * t * t * t / 12 + h * t * (yc + c) * (yc + c) +
                           2 * (t * c * c * c / 12 + c * t * (c / 2 + yc) * (c / 2 + yc)));
  expectRelative(p.Iyz, 0);
}

TEST(SectionPropertiesTest, RoundedLippedChannel) {
  CrossSection section = chain({20, 75, 200, 75, 20}, {90, 0, -90, -180, -270}, 2);
  ASSERT_TRUE(roundCorners(section, 4, 4, true, std::vector<int>(5, 1)).accepted.ok());
  ASSERT_TRUE(setThickness(section, 2).ok());
  const SectionProperties p = computeProperties(section);
  expectRelative(p.area, 765.943, 1e-5);
  // The flanges run along y: the axis parallel to them is the y axis.
  expectRelative(p.Iy, 4841496, 1e-5);
}

}  // namespace
