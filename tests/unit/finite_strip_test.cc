// The finite strip engine against closed forms: plate buckling of a thin
// square tube, flexural, flexural-torsional and lateral-torsional buckling of
// long members, and invariance under placement, numbering and scaling.
#include "strip/finite_strip.h"

#include <gtest/gtest.h>

#include <Eigen/Dense>
#include <cmath>
#include <vector>

#include "make/catalogue.h"
#include "rounding/corner_rounding.h"
#include "rounding/thickness.h"
#include "section/plate_geometry.h"
#include "section/section_properties.h"
#include "strip/signature_curve.h"
#include "tests/unit/test_sections.h"

namespace {

double lambdaOf(const CrossSection& section, const StressField& stress, double L, int strips = 0) {
  StripModel model;
  EXPECT_TRUE(buildStripModel(section, strips, model).ok());
  return lowestLoadFactor(model, stress, L);
}

const StressField kCompression{1, 0, 0};

TEST(FiniteStripTest, ThinSquareTubeBucklesAsFourSimplySupportedPlates) {
  const double b = 300, t = 1;  // b / t = 300
  CrossSection tube = fromLines({{0, 0, b, 0}, {b, 0, b, b}, {b, b, 0, b}, {0, b, 0, 0}}, t);
  const double plate = kPi * kPi * tube.E * t * t / (12 * (1 - tube.MUE * tube.MUE) * b * b);
  for (double L : {b / 2, b, 2 * b}) {
    const double k = (b / L + L / b) * (b / L + L / b);
    EXPECT_NEAR(lambdaOf(tube, kCompression, L, 8) / (k * plate), 1, 1e-4) << L;
  }
}

// The smallest critical stress of the 3 x 3 problem of a long member in
// principal axes: flexure about both axes coupled with torsion about the
// shear centre.
double flexuralTorsionalStress(const SectionProperties& p, double E, double G, double L) {
  const double angle = radians(p.principalAngle);
  const double dy = p.ys - p.yc, dz = p.zs - p.zc;
  const double x0 = std::cos(angle) * dy + std::sin(angle) * dz;  // along axis 1
  const double y0 = -std::sin(angle) * dy + std::cos(angle) * dz;
  const double e = kPi * kPi * E / (L * L);
  Eigen::Matrix3d K = Eigen::Matrix3d::Zero(), Kg;
  K(0, 0) = e * p.I2;  // deflection along axis 1 bends about axis 2
  K(1, 1) = e * p.I1;
  K(2, 2) = G * p.J + e * p.Iw;
  Kg << 1, 0, -y0, 0, 1, x0, -y0, x0, p.i0 * p.i0;
  Kg *= p.area;
  Eigen::GeneralizedSelfAdjointEigenSolver<Eigen::Matrix3d> solver(K, Kg);
  return solver.eigenvalues().minCoeff();
}

CrossSection catalogue(const std::string& shape, std::vector<double> dimensions) {
  SectionRecipe recipe;
  recipe.shape = shape;
  recipe.dimensions = dimensions;
  CrossSection section;
  EXPECT_TRUE(makeSection(recipe, section).ok());
  return section;
}

TEST(FiniteStripTest, LongMembersBuckleAsTheClassicalFormulasSay) {
  const CrossSection sections[] = {catalogue("channel", {200, 75, 2}),
                                   catalogue("lipped-channel", {200, 75, 20, 2}),
                                   catalogue("zed", {200, 75, 2}), catalogue("angle", {80, 50, 3})};
  for (const CrossSection& section : sections) {
    const SectionProperties p = computeProperties(section);
    const double D = 200;
    const double L = 50 * D;
    const double expected = flexuralTorsionalStress(p, section.E, section.G, L);
    EXPECT_NEAR(lambdaOf(section, kCompression, L) / expected, 1, 5e-3) << section.title;
  }
  // Bending about the major axis of a lipped channel: lateral-torsional buckling.
  const CrossSection lipped = sections[1];
  const SectionProperties p = computeProperties(lipped);
  const double L = 50 * 200;
  const double c = 100;  // the flanges' centre lines from the axis
  const double Mcr =
      kPi / L *
      std::sqrt(lipped.E * p.I2 * (lipped.G * p.J + kPi * kPi * lipped.E * p.Iw / (L * L)));
  // Axis 1 is horizontal: the stress is linear in z, 1 at the flanges.
  const StressField bending{-p.zc / c, 0, 1 / c};
  EXPECT_NEAR(lambdaOf(lipped, bending, L) * p.I1 / c / Mcr, 1, 5e-3);
}

TEST(FiniteStripTest, CurveIsInvariantUnderPlacementNumberingAndScale) {
  const std::vector<Line> lines{
      {0, 0, 0, 20}, {0, 20, 75, 20}, {75, 20, 75, 220}, {75, 220, 0, 220}, {0, 220, 0, 200}};
  const CrossSection reference = fromLines(lines, 2);
  auto moved = [&](double degrees, double dy, double dz, bool mirrored, bool backwards) {
    std::vector<Line> changed;
    const double c = std::cos(radians(degrees)), s = std::sin(radians(degrees));
    for (Line l : lines) {
      for (int end = 0; end < 4; end += 2) {
        const double y = mirrored ? -l[end] : l[end], z = l[end + 1];
        l[end] = c * y - s * z + dy;
        l[end + 1] = s * y + c * z + dz;
      }
      if (backwards) l = {l[2], l[3], l[0], l[1]};
      changed.insert(backwards ? changed.begin() : changed.end(), l);
    }
    return fromLines(changed, 2);
  };
  const CrossSection variants[] = {moved(37, 5000, -3000, false, false),
                                   moved(0, 0, 0, true, false), moved(-120, 10, 10, false, true)};
  // Up to 10 D: beyond, the rounding of the matrices in double precision
  // moves lambda by more than 1e-9.
  for (double L : {30.0, 150.0, 800.0, 2200.0}) {
    const double expected = lambdaOf(reference, kCompression, L);
    for (const CrossSection& variant : variants) {
      EXPECT_NEAR(lambdaOf(variant, kCompression, L) / expected, 1, 1e-9) << L;
    }
    CrossSection stiffer = reference;
    stiffer.E *= 3;
    stiffer.G *= 3;
    EXPECT_NEAR(lambdaOf(stiffer, kCompression, L) / expected, 3, 3e-9) << L;
  }
}

TEST(FiniteStripTest, DefaultMeshAgreesWithOneTwiceAsFineAtTheMinima) {
  const char* const examples[] = {"angle", "channel", "hat", "lipped_channel", "zed"};
  for (const char* name : examples) {
    CrossSection sharp;
    ASSERT_TRUE(sharp.load(std::string(ZORVIK_EXAMPLES) + "/" + name + ".kaf").ok()) << name;
    CrossSection rounded = sharp;
    ASSERT_TRUE(roundCorners(rounded, 3 * sharp.t_r[0], 4, true,
                             std::vector<int>(static_cast<std::size_t>(sharp.ns), 1))
                    .misfitCorners.empty());
    ASSERT_TRUE(setThickness(rounded, sharp.t_r[0]).ok());
    for (const CrossSection* section : {&sharp, &rounded}) {
      StripModel coarse, fine;
      const Result built = buildStripModel(*section, 0, coarse);
      ASSERT_TRUE(built.ok()) << name << ": " << built.reason();
      ASSERT_TRUE(buildStripModel(*section, 0, fine, 2).ok());
      const double D = 200;  // every example is at most this large
      const SignatureCurve curve =
          signatureCurve(coarse, kCompression, halfWavelengths(D / 10, 100 * D, 60));
      for (const CurveMinimum& minimum : curve.minima) {
        EXPECT_NEAR(lambdaOf(*section, kCompression, minimum.length, 0) /
                        lowestLoadFactor(fine, kCompression, minimum.length),
                    1, 5e-3)
            << name << " at " << minimum.length;
      }
    }
  }
}

TEST(FiniteStripTest, SectionsThatCannotBeAnalysedAreNamed) {
  CrossSection section = chain({50, 100, 50}, {0, 90, 180});
  StripModel model;
  const struct {
    void (*change)(CrossSection&);
    const char* reason;
  } cases[] = {
      {[](CrossSection& s) { s.E = 0; }, "E = 0 is not a modulus above 0"},
      {[](CrossSection& s) { s.G = NAN; }, "G = nan is not a modulus above 0"},
      {[](CrossSection& s) { s.MUE = 0.5; }, "MUE = 0.5 is not between -1 and 0.5"},
      {[](CrossSection& s) { s.t_r[1] = 0; }, "plate 2 has no thickness"},
      {[](CrossSection& s) { s.nodeY[2] = s.nodeY[1], s.nodeZ[2] = s.nodeZ[1]; },
       "plate 2 has no length"},
      {[](CrossSection& s) { s.nodeZ[3] = INFINITY; },
       "node 4 has a coordinate that is not finite"},
      {[](CrossSection& s) { s.endNode[2] = 9; },
       "plate 3 names node 9, which the section does not have"},
  };
  for (const auto& c : cases) {
    CrossSection changed = section;
    c.change(changed);
    EXPECT_EQ(buildStripModel(changed, 0, model).reason(), c.reason);
  }
  ASSERT_TRUE(buildStripModel(section, 0, model).ok());
  // Tension everywhere never buckles.
  EXPECT_TRUE(std::isinf(lowestLoadFactor(model, StressField{-1, 0, 0}, 100)));
}

}  // namespace
