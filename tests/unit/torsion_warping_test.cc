// Torsion, shear centre, warping and monosymmetry of the centre-line model,
// against closed forms. Every section is also checked rotated by 37 degrees
// and moved far from the origin: the values must stay, and the shear centre
// must move with the section.
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <vector>

#include "rounding/thickness.h"
#include "section/plate_geometry.h"
#include "section/section_properties.h"
#include "tests/unit/test_sections.h"

namespace {

struct Placement {
  double degrees = 0;
  double dy = 0;
  double dz = 0;
  void apply(double& y, double& z) const {
    const double c = std::cos(degrees * kPi / 180), s = std::sin(degrees * kPi / 180);
    const double ry = c * y - s * z, rz = s * y + c * z;
    y = ry + dy;
    z = rz + dz;
  }
};

const Placement kPlacements[] = {{0, 0, 0}, {37, 5000, -3000}};

std::vector<Line> placed(std::vector<Line> lines, const Placement& where) {
  for (Line& l : lines) {
    where.apply(l[0], l[1]);
    where.apply(l[2], l[3]);
  }
  return lines;
}

void expectRelative(double actual, double expected, double scale) {
  EXPECT_NEAR(actual, expected, 1e-9 * scale);
}

// Values that do not depend on where the section lies; the shear centre,
// given in the section's own placement 0, is checked where it was moved to.
struct Expected {
  double J, ys, zs, Iw;
  double lengthScale;  // for the tolerances
};

SectionProperties checkPlaced(const std::vector<Line>& lines, double t, const Expected& e,
                              const Placement& where) {
  SCOPED_TRACE(::testing::Message() << "placed at " << where.degrees << " degrees");
  const SectionProperties p = computeProperties(fromLines(placed(lines, where), t));
  EXPECT_TRUE(p.torsionAndWarping.ok()) << p.torsionAndWarping.reason();
  const double L = e.lengthScale;
  expectRelative(p.J, e.J, L * t * t * t);
  double ys = e.ys, zs = e.zs;
  where.apply(ys, zs);
  expectRelative(p.ys, ys, L);
  expectRelative(p.zs, zs, L);
  expectRelative(p.Iw, e.Iw, t * L * L * L * L * L);
  return p;
}

TEST(TorsionWarpingTest, SinglePlate) {
  // Every point of the line is a pole with omega = 0: no warping, shear
  // centre at the centroid, both monosymmetry constants 0 (two symmetry axes).
  const double b = 120, t = 3;
  for (const Placement& where : kPlacements) {
    const SectionProperties p =
        checkPlaced({{0, 0, b, 0}}, t, {b * t * t * t / 3, b / 2, 0, 0, b}, where);
    expectRelative(p.beta1, 0, b);
    expectRelative(p.beta2, 0, b);
    expectRelative(p.i0, std::sqrt((b * b / 12 + t * t / 12)), b);
  }
}

TEST(TorsionWarpingTest, AngleAndTeeHaveTheirShearCentreWhereThePlatesMeet) {
  // All plates radiate from one point: omega about it is 0 everywhere.
  const double t = 2;
  for (const Placement& where : kPlacements) {
    checkPlaced({{0, 80, 0, 0}, {0, 0, 60, 0}}, t, {140 * t * t * t / 3, 0, 0, 0, 80}, where);
    // A T: flange 100 wide, stem 70 deep, joined at (0, 0).
    const SectionProperties tee = checkPlaced({{-50, 0, 0, 0}, {0, 0, 50, 0}, {0, 0, 0, 70}}, t,
                                              {170 * t * t * t / 3, 0, 0, 0, 100}, where);
    // Symmetric about the stem: the constant about the axis across it is 0.
    EXPECT_NEAR(std::min(std::fabs(tee.beta1), std::fabs(tee.beta2)), 0, 1e-9 * 100);
  }
}

TEST(TorsionWarpingTest, DoublySymmetricI) {
  // Flanges bf at z = +-h/2, web h: shear centre at the centroid,
  // I_w = I_flange h^2 / 2 with I_flange = t bf^3 / 12; both betas 0.
  const double bf = 100, h = 200, t = 4;
  const std::vector<Line> lines{{-bf / 2, -h / 2, 0, -h / 2},
                                {0, -h / 2, bf / 2, -h / 2},
                                {0, -h / 2, 0, h / 2},
                                {-bf / 2, h / 2, 0, h / 2},
                                {0, h / 2, bf / 2, h / 2}};
  const double Iw = t * bf * bf * bf / 12 * h * h / 2;
  for (const Placement& where : kPlacements) {
    const SectionProperties p =
        checkPlaced(lines, t, {(2 * bf + h) * t * t * t / 3, 0, 0, Iw, h}, where);
    expectRelative(p.beta1, 0, h);
    expectRelative(p.beta2, 0, h);
    // i_0^2 = (I_y + I_z) / A with the plates' own terms (their b t^3 / 12).
    const double A = (2 * bf + h) * t;
    const double Iy = t * h * h * h / 12 + 2 * bf * t * h * h / 4 + 2 * bf * t * t * t / 12;
    const double Iz = 2 * t * bf * bf * bf / 12 + h * t * t * t / 12;
    expectRelative(p.i0, std::sqrt((Iy + Iz) / A), h);
  }
}

// A channel with web h along z at y = 0 and flanges b towards +y, equal t.
std::vector<Line> channel(double h, double b) {
  return {{b, -h / 2, 0, -h / 2}, {0, -h / 2, 0, h / 2}, {0, h / 2, b, h / 2}};
}

TEST(TorsionWarpingTest, Channel) {
  // e = 3 b^2 / (6 b + h) behind the web; I_w = t b^3 h^2 (3 b + 2 h) / (12 (6 b + h)).
  const double h = 200, b = 80, t = 2;
  const double e = 3 * b * b / (6 * b + h);
  const double Iw = t * b * b * b * h * h * (3 * b + 2 * h) / (12 * (6 * b + h));
  for (const Placement& where : kPlacements) {
    const SectionProperties p =
        checkPlaced(channel(h, b), t, {(h + 2 * b) * t * t * t / 3, -e, 0, Iw, h}, where);
    // Symmetric about the axis of I_1 (along the flanges): beta_1 = 0. About
    // the other, with u = y - y_c along the flanges and v = z:
    //   integral of u (u^2 + v^2) dA = web + 2 flanges, where
    //   web    = t [h (-y_c)^3 + (-y_c) h^3 / 12]
    //   flange = t [((b - y_c)^4 - y_c^4) / 4 + (h^2 / 4) ((b - y_c)^2 - y_c^2) / 2].
    const double yc = b * b / (h + 2 * b);
    const double web = t * (h * -yc * yc * yc - yc * h * h * h / 12);
    const double flange = t * ((std::pow(b - yc, 4) - std::pow(yc, 4)) / 4 +
                               h * h / 4 * ((b - yc) * (b - yc) - yc * yc) / 2);
    expectRelative(p.beta1, 0, h);
    expectRelative(p.beta2, (web + 2 * flange) / p.I2 - 2 * (-e - yc), h);
  }
}

TEST(TorsionWarpingTest, ZSectionHasItsShearCentreAtTheCentroid) {
  const double h = 200, b = 70, t = 2;
  const std::vector<Line> lines{
      {-b, -h / 2, 0, -h / 2}, {0, -h / 2, 0, h / 2}, {0, h / 2, b, h / 2}};
  // omega about the web's middle: flanges sweep -b h / 2 each way; I_w =
  // t b^3 h^2 (b + 2 h) / (12 (2 b + h)) for the point-symmetric Z.
  const double Iw = t * b * b * b * h * h * (b + 2 * h) / (12 * (2 * b + h));
  for (const Placement& where : kPlacements) {
    checkPlaced(lines, t, {(h + 2 * b) * t * t * t / 3, 0, 0, Iw, h}, where);
  }
}

TEST(TorsionWarpingTest, LippedChannelAgainstTheAisiClosedForms) {
  // W.-W. Yu and R. A. LaBoube, Cold-Formed Steel Design (the AISI manual's
  // formulas for a lipped channel of centre-line web a, flange b, lip c):
  //   m   = b t / (12 I_x) (6 c a^2 + 3 b a^2 - 8 c^3), from the web, behind it
  //   C_w = a^2 b^2 t / 12 [2a^3 b + 3a^2 b^2 + 48c^4 + 112b c^3 + 8a c^3
  //         + 48a b c^2 + 12a^2 c^2 + 12a^2 b c + 6a^3 c] / [6a^2 b + (a + 2c)^3 - 24a c^2]
  // with I_x the centre-line moment about the axis of symmetry.
  const double a = 198, b = 73, c = 19, t = 2;
  const std::vector<Line> lines{{b, -a / 2 + c, b, -a / 2},
                                {b, -a / 2, 0, -a / 2},
                                {0, -a / 2, 0, a / 2},
                                {0, a / 2, b, a / 2},
                                {b, a / 2, b, a / 2 - c}};
  const double Ix = t * a * a * a / 12 + 2 * b * t * a * a / 4 +
                    2 * (t * c * c * c / 12 + c * t * (a / 2 - c / 2) * (a / 2 - c / 2));
  const double m = b * t / (12 * Ix) * (6 * c * a * a + 3 * b * a * a - 8 * c * c * c);
  const double Cw = a * a * b * b * t / 12 *
                    (2 * a * a * a * b + 3 * a * a * b * b + 48 * std::pow(c, 4) +
                     112 * b * c * c * c + 8 * a * c * c * c + 48 * a * b * c * c +
                     12 * a * a * c * c + 12 * a * a * b * c + 6 * a * a * a * c) /
                    (6 * a * a * b + std::pow(a + 2 * c, 3) - 24 * a * c * c);
  for (const Placement& where : kPlacements) {
    const SectionProperties p =
        checkPlaced(lines, t, {(a + 2 * b + 2 * c) * t * t * t / 3, -m, 0, Cw, a}, where);
    expectRelative(p.beta1, 0, a);
  }
}

TEST(TorsionWarpingTest, ClosedCellsAndLoosePartsGiveNoTorsionRows) {
  const SectionProperties box = computeProperties(
      fromLines({{0, 0, 50, 0}, {50, 0, 50, 30}, {50, 30, 0, 30}, {0, 30, 0, 0}}, 2));
  EXPECT_EQ(box.torsionAndWarping.reason(), "its plates form a closed cell");
  EXPECT_GT(box.area, 0);  // the gross properties stay
  const SectionProperties loose = computeProperties(fromLines({{0, 0, 50, 0}, {0, 10, 50, 10}}, 2));
  EXPECT_EQ(loose.torsionAndWarping.reason(), "its plates are not all connected");
}

TEST(TorsionWarpingTest, NonFiniteLengthsAreRefused) {
  CrossSection section = fromLines({{0, 0, 50, 0}, {50, 0, 50, 30}, {50, 30, 0, 30}}, 2);
  section.b_r[2] = HUGE_VAL;
  EXPECT_EQ(checkMeasurable(section).reason(), "plate 3 has no finite length");
  section.b_r[2] = 50;
  section.nodeY[0] = -1e308;  // the first plate's end lies beyond the largest double
  section.b_r[0] = 1e308;
  section.alpha_r[0] = 0;
  EXPECT_EQ(checkMeasurable(section).reason(), "plate 1 has no finite length");
}

TEST(TorsionWarpingTest, EqualPrincipalMomentsGiveAngleZero) {
  // A cross of two equal plates: I_1 = I_2 to rounding, any axis principal.
  const SectionProperties p = computeProperties(
      fromLines({{-50, 0, 0, 0}, {0, 0, 50, 0}, {0, -50, 0, 0}, {0, 0, 0, 50}}, 2));
  EXPECT_EQ(p.principalAngle, 0.0);
  EXPECT_FALSE(std::signbit(p.principalAngle));
  EXPECT_EQ(p.Iyz, 0.0);
}

}  // namespace
