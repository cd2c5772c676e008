// The finite strip results against closed forms: plate buckling of a thin
// tube, Euler columns for every end condition, the clamped plate tending to
// the simply supported one, flexural-torsional and lateral-torsional
// buckling of long members up to the longest length taken, invariance under
// placement, numbering and scaling, the mesh, and the narrowest strips.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "rounding/corner_rounding.h"
#include "rounding/thickness.h"
#include "strip/classical_buckling.h"
#include "strip/load_cases.h"
#include "tests/unit/strip_helpers.h"

namespace {

const StressField kCompression{1, 0, 0};

TEST(StripClosedFormTest, ThinSquareTubeBucklesAsFourSimplySupportedPlates) {
  const double b = 300, t = 1;  // b / t = 300
  const StripModel model = modelOf(tube(b, b, t), 8);
  const double plate = kPi * kPi * model.E * t * t / (12 * (1 - model.MUE * model.MUE) * b * b);
  for (double L : {b / 2, b, 2 * b}) {
    const double k = (b / L + L / b) * (b / L + L / b);
    EXPECT_NEAR(lambdaAt(model, kCompression, L) / (k * plate), 1, 1e-4) << L;
  }
}

TEST(StripClosedFormTest, EulerColumnsForEveryEndCondition) {
  // Without Poisson's ratio the strips' membrane holds no transverse
  // contraction that the column formula leaves out; the tube buckles about
  // its weak axis, its walls too thick to buckle locally first.
  CrossSection section = tube(150, 100, 6);
  section.MUE = 0;
  section.G = section.E / 2;
  const StripModel model = modelOf(section);
  const SectionProperties p = computeProperties(section);
  const double D = modelSize(model);
  const struct {
    EndConditions ends;
    double K;  // the effective length factor
    int terms;
  } cases[] = {{EndConditions::SS, 1, 0},
               {EndConditions::CC, 0.5, 0},
               {EndConditions::SC, 0.699, 60},
               {EndConditions::CF, 2, 0},
               {EndConditions::CG, 1, 0}};
  for (const auto& c : cases) {
    const double a = 60 * D / c.K;  // an effective length of 60 D
    const double euler = kPi * kPi * section.E * p.I2 / std::pow(c.K * a, 2) / p.area;
    EXPECT_NEAR(memberLambda(model, kCompression, c.ends, a, c.terms) / euler, 1, 5e-3)
        << endConditionsName(c.ends);
  }
  // S-C converges from above with the terms: its default stops at one more
  // changing lambda by less than 0.1 %, above the 60 terms.
  const double a = 60 * D / 0.699;
  const double sixty = memberLambda(model, kCompression, EndConditions::SC, a, 60);
  const double byDefault = memberLambda(model, kCompression, EndConditions::SC, a, 0);
  const double ten = memberLambda(model, kCompression, EndConditions::SC, a, 10);
  EXPECT_GT(ten, byDefault);
  EXPECT_GT(byDefault, sixty);
}

TEST(StripClosedFormTest, ClampedPlateTendsToTheSimplySupportedPlate) {
  // The walls of a thin square tube are plates simply supported along their
  // long edges; clamped at the loaded ends they buckle higher, less so the
  // longer they are, towards k = 4.
  const double b = 200, t = 1;
  const StripModel model = modelOf(tube(b, b, t), 8);
  const double plate = 4 * kPi * kPi * model.E * t * t / (12 * (1 - model.MUE * model.MUE) * b * b);
  double previous = HUGE_VAL;
  for (double ratio : {1.0, 2.0, 4.0, 8.0}) {
    const double k = memberLambda(model, kCompression, EndConditions::CC, ratio * b, 0) / plate;
    EXPECT_GT(k, 1 - 1e-3) << ratio;
    EXPECT_LT(k, previous) << ratio;
    previous = k;
  }
  EXPECT_LT(previous, 1.02);
}

TEST(StripClosedFormTest, LongMembersBuckleAsTheClassicalFormulasSay) {
  const CrossSection sections[] = {catalogueSection("channel", {200, 75, 2}),
                                   catalogueSection("lipped-channel", {200, 75, 20, 2}),
                                   catalogueSection("zed", {200, 75, 2}),
                                   catalogueSection("angle", {80, 50, 3})};
  for (const CrossSection& section : sections) {
    const StripModel model = modelOf(section);
    const SectionProperties p = computeProperties(section);
    const double D = modelSize(model);
    // Up to the longest length taken.
    for (double L : {50 * D, 200 * D, kLongestLengthPerSize * D}) {
      GlobalBuckling classical;
      ASSERT_TRUE(classicalGlobalBuckling(p, section.E, section.G, {L, L, L}, classical).ok());
      EXPECT_NEAR(lambdaAt(model, kCompression, L) / classical.stress, 1, 5e-3)
          << section.title << " at " << L / D << " D";
    }
  }
  // Bending about the major axis of a lipped channel: lateral-torsional buckling.
  const CrossSection& lipped = sections[1];
  const SectionProperties p = computeProperties(lipped);
  const double L = 50 * 200;
  const double Mcr =
      kPi / L *
      std::sqrt(lipped.E * p.I2 * (lipped.G * p.J + kPi * kPi * lipped.E * p.Iw / (L * L)));
  LoadStress load;
  const StripModel model = modelOf(lipped);
  ASSERT_TRUE(loadStress(p, model, *parseLoadCase("M1"), load).ok());
  EXPECT_NEAR(lambdaAt(model, load.stress, L) * load.values[1].factor / Mcr, 1, 5e-3);
}

TEST(StripClosedFormTest, CurveIsInvariantUnderPlacementNumberingAndScale) {
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
  for (double L : {30.0, 150.0, 800.0, 2200.0, 20000.0}) {
    const double expected = lambdaAt(modelOf(reference), kCompression, L);
    for (const CrossSection& variant : variants) {
      EXPECT_NEAR(lambdaAt(modelOf(variant), kCompression, L) / expected, 1, 1e-9) << L;
    }
    // lambda is linear in E and G, whatever their magnitude.
    for (double factor : {3.0, 1e200, 1e-200}) {
      CrossSection stiffer = reference;
      stiffer.E *= factor;
      stiffer.G *= factor;
      EXPECT_NEAR(lambdaAt(modelOf(stiffer), kCompression, L) / expected / factor, 1, 1e-9) << L;
    }
  }
}

TEST(StripClosedFormTest, DefaultMeshAgreesWithOneTwiceAsFineAtTheMinima) {
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
      const StripModel coarse = modelOf(*section);
      StripModel fine;
      ASSERT_TRUE(buildStripModel(*section, 0, fine, 2).ok());
      const double D = sectionSize(*section);
      const StripSystem system(coarse, kCompression, EndConditions::SS);
      BucklingSolver solver(system);
      const SignatureCurve curve =
          signatureCurve(solver, halfWavelengths(D / 10, 100 * D, 60), true);
      for (const CurveMinimum& minimum : curve.minima) {
        EXPECT_NEAR(minimum.lambda / lambdaAt(fine, kCompression, minimum.length), 1, 5e-3)
            << name << " at " << minimum.length;
      }
    }
  }
}

TEST(StripClosedFormTest, StripsOfTheNarrowestWidthAgreeWithTheDefaultMesh) {
  // The lips in strips of 0.053 t, the web in 180 strips: at the local and
  // distortional half-wavelengths and at 10 D this mesh, far finer than
  // needed, still agrees with the default one. Narrower strips are refused:
  // below the bound the rounding of their transverse stiffness, (t / b)^3,
  // soon leaves no value at all.
  const CrossSection section = catalogueSection("lipped-channel", {200, 75, 20, 2});
  const StripModel coarse = modelOf(section);
  StripModel narrow;
  ASSERT_TRUE(buildStripModel(section, 180, narrow).ok());  // the lips' strips 0.053 t
  for (double L : {155.0, 700.0, 2000.0}) {
    EXPECT_NEAR(lambdaAt(narrow, kCompression, L) / lambdaAt(coarse, kCompression, L), 1, 5e-3)
        << L;
  }
  StripModel refused;
  EXPECT_EQ(buildStripModel(section, 200, refused).reason(),
            "plate 1 gives strips 0.095 wide, narrower than 0.05 t = 0.1, below which the strip "
            "results do not hold");
}

TEST(StripClosedFormTest, SectionsThatCannotBeAnalysedAreNamed) {
  CrossSection section = chain({50, 100, 50}, {0, 90, 180});
  StripModel model;
  const struct {
    void (*change)(CrossSection&);
    const char* reason;
  } cases[] = {
      {[](CrossSection& s) { s.E = 0; }, "E = 0 is not a modulus above 0"},
      {[](CrossSection& s) { s.E = 1e-320; },
       "E = 9.99989e-321 is too small a modulus to compute with"},
      {[](CrossSection& s) { s.G = NAN; }, "G = nan is not a modulus above 0"},
      {[](CrossSection& s) { s.MUE = 0.5; }, "MUE = 0.5 is not between -1 and 0.5"},
      {[](CrossSection& s) { s.t_r[1] = 0; },
       "the thickness 0 of plate 2 gives no finite plate stiffness above 0"},
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
  EXPECT_EQ(model.nodes.front().fileNode, 1);
  EXPECT_EQ(model.nodes.back().fileNode, 0);  // inside the 100 plate
  EXPECT_EQ(model.strips.back().plate, 2);
}

}  // namespace
