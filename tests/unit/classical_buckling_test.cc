// The classical column formulas against the closed forms that design
// standards print for doubly, singly and point-symmetric sections.
#include "strip/classical_buckling.h"

#include <gtest/gtest.h>

#include <cmath>

#include "make/catalogue.h"
#include "section/plate_geometry.h"
#include "tests/unit/test_sections.h"

namespace {

CrossSection catalogue(const std::string& shape, std::vector<double> dimensions) {
  SectionRecipe recipe;
  recipe.shape = shape;
  recipe.dimensions = dimensions;
  CrossSection section;
  EXPECT_TRUE(makeSection(recipe, section).ok());
  return section;
}

struct Stresses {
  double about1, about2, torsion;
};

// Euler about each principal axis and the torsional stress about the shear centre.
Stresses uncoupled(const CrossSection& s, const SectionProperties& p, const EffectiveLengths& l) {
  const double e = kPi * kPi * s.E / p.area;
  return {e * p.I1 / (l.about1 * l.about1), e * p.I2 / (l.about2 * l.about2),
          (s.G * p.J + kPi * kPi * s.E * p.Iw / (l.torsion * l.torsion)) / (p.area * p.i0 * p.i0)};
}

GlobalBuckling lowest(const CrossSection& s, const SectionProperties& p,
                      const EffectiveLengths& l) {
  GlobalBuckling buckling;
  EXPECT_TRUE(classicalGlobalBuckling(p, s.E, s.G, l, buckling).ok());
  return buckling;
}

TEST(ClassicalBucklingTest, SinglySymmetricSectionsBuckleFlexurallyOrFlexuralTorsionally) {
  for (const CrossSection& s :
       {catalogue("channel", {200, 75, 2}), catalogue("lipped-channel", {200, 75, 20, 2})}) {
    const SectionProperties p = computeProperties(s);
    // The axis of symmetry is axis 1 (horizontal); the shear centre lies on it.
    ASSERT_NEAR(p.principalAngle, 0, 1e-9);
    const double x0 = p.ys - p.yc;
    int flexuralTorsionalCases = 0;
    for (const EffectiveLengths& l :
         {EffectiveLengths{3000, 3000, 3000}, EffectiveLengths{3000, 1000, 3000},
          EffectiveLengths{3000, 6000, 3000}}) {
      const Stresses u = uncoupled(s, p, l);
      // AISI S100-16 (E2.2-1): bending about the axis of symmetry couples with torsion.
      const double beta = 1 - (x0 / p.i0) * (x0 / p.i0);
      const double sum = u.about1 + u.torsion;
      const double flexuralTorsional =
          (sum - std::sqrt(sum * sum - 4 * beta * u.about1 * u.torsion)) / (2 * beta);
      const GlobalBuckling b = lowest(s, p, l);
      if (flexuralTorsional < u.about2) {
        EXPECT_NEAR(b.stress / flexuralTorsional, 1, 1e-12) << s.title;
        EXPECT_EQ(b.mode, GlobalMode::kFlexuralTorsional);
        ++flexuralTorsionalCases;
      } else {
        EXPECT_NEAR(b.stress / u.about2, 1, 1e-12) << s.title;
        EXPECT_EQ(b.mode, GlobalMode::kFlexuralAbout2);
      }
    }
    EXPECT_EQ(flexuralTorsionalCases, 2) << s.title;  // and one flexural
  }
}

TEST(ClassicalBucklingTest, PointSymmetricSectionsBuckleInOneUncoupledMode) {
  const CrossSection zed = catalogue("zed", {200, 75, 2});
  const SectionProperties p = computeProperties(zed);
  const struct {
    EffectiveLengths lengths;
    GlobalMode mode;
  } cases[] = {{{3000, 3000, 3000}, GlobalMode::kFlexuralAbout2},
               {{3000, 100, 8000}, GlobalMode::kTorsional},
               {{9000, 100, 500}, GlobalMode::kFlexuralAbout1}};
  for (const auto& c : cases) {
    const Stresses u = uncoupled(zed, p, c.lengths);
    const GlobalBuckling b = lowest(zed, p, c.lengths);
    EXPECT_NEAR(b.stress / std::min({u.about1, u.about2, u.torsion}), 1, 1e-12);
    EXPECT_EQ(b.mode, c.mode) << globalModeName(c.mode);
  }
  EXPECT_EQ(globalModeName(GlobalMode::kFlexuralAbout1), "flexural about axis 1");
}

TEST(ClassicalBucklingTest, RefusesWhatTheFormulasDoNotCover) {
  const CrossSection tube =
      fromLines({{0, 0, 100, 0}, {100, 0, 100, 100}, {100, 100, 0, 100}, {0, 100, 0, 0}}, 2);
  GlobalBuckling b;
  EXPECT_EQ(
      classicalGlobalBuckling(computeProperties(tube), 210, 80, {1000, 1000, 1000}, b).reason(),
      "no torsion and warping values: its plates form a closed cell");
  const CrossSection angle = catalogue("angle", {80, 50, 3});
  EXPECT_EQ(classicalGlobalBuckling(computeProperties(angle), 210, 80, {1000, 0, 1000}, b).reason(),
            "an effective length is not a length above 0");
}

}  // namespace
