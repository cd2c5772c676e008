// Pure-mode problems against closed forms and the full problem, and the
// names and likeness of modes.
#include "strip/pure_modes.h"

#include <gtest/gtest.h>

#include <cmath>

#include "section/plate_geometry.h"
#include "section/section_properties.h"
#include "strip/classical_buckling.h"
#include "strip/mode_identity.h"
#include "tests/unit/modal_test_sections.h"

namespace {

const StressField kCompression{1, 0, 0};

double classicalStress(const SectionProperties& p, double E, double G, double L) {
  GlobalBuckling buckling;
  EXPECT_TRUE(classicalGlobalBuckling(p, E, G, {L, L, L}, buckling).ok());
  return buckling.stress;
}

TEST(PureModeTest, PureGlobalCurveIsTheClassicalFlexuralTorsionalOne) {
  const CrossSection sections[] = {exampleSection("lipped_channel"), exampleSection("channel"),
                                   exampleSection("zed"), exampleSection("hat"),
                                   catalogueSection("lipped-zed", {250, 70, 20, 2.5})};
  for (const CrossSection& section : sections) {
    const SectionProperties p = computeProperties(section);
    const StripModel model = modelOf(section);
    for (double L : {20000.0, 40000.0}) {  // 100 and 200 times the largest example
      PureMode pure;
      ASSERT_TRUE(pureModeAt(model, kCompression, L, kGlobal, pure).ok());
      EXPECT_NEAR(pure.lambda / classicalStress(p, section.E, section.G, L), 1, 1e-3)
          << section.title << " at " << L;
    }
  }
}

// Every space and every sum of spaces: never below the full problem; all
// four together are the full problem.
TEST(PureModeTest, PureCurvesAreNeverBelowTheFullCurve) {
  const CrossSection sections[] = {exampleSection("lipped_channel"),
                                   roundedSection(exampleSection("lipped_channel"), 8),
                                   exampleSection("zed"), webStiffenedChannel()};
  const unsigned sums[] = {kGlobal,
                           kDistortional,
                           kLocal,
                           kOther,
                           kGlobal | kDistortional,
                           kDistortional | kLocal,
                           kGlobal | kDistortional | kLocal};
  for (const CrossSection& section : sections) {
    const StripModel model = modelOf(section);
    const double size = sectionSize(section);
    const StressField bending{1, 0, -2 / size};
    for (const StressField& stress : {kCompression, bending}) {
      for (double share : {0.3, 1.0, 3.0, 10.0, 100.0}) {
        const double L = share * size;
        const double full = lowestMode(model, stress, L).lambda;
        for (unsigned classes : sums) {
          PureMode pure;
          const Result solved = pureModeAt(model, stress, L, classes, pure, PureLaw::plates);
          ASSERT_TRUE(solved.ok()) << solved.reason();
          EXPECT_GE(pure.lambda, full * (1 - 1e-9)) << section.title << " " << classes << " " << L;
        }
        // The member theory's global curve: classical, at most 1e-3 below.
        PureMode member;
        ASSERT_TRUE(pureModeAt(model, stress, L, kGlobal, member).ok());
        EXPECT_GE(member.lambda, full * (1 - 1e-3)) << section.title << " at " << L;
        // All four spaces together are the whole problem.
        PureMode all;
        ASSERT_TRUE(pureModeAt(model, stress, L, kGlobal | kDistortional | kLocal | kOther, all,
                               PureLaw::plates)
                        .ok());
        EXPECT_NEAR(all.lambda / full, 1, share < 30 ? 1e-8 : 1e-5) << section.title << " at " << L;
      }
    }
  }
}

// The pure problems are solved in the system's units: lambda is linear in
// E even where E's magnitude would overflow the matrices in the file's.
TEST(PureModeTest, PureValuesAreLinearInEvenAnExtremeE) {
  CrossSection section = exampleSection("lipped_channel");
  const StripModel model = modelOf(section);
  section.E *= 1e198, section.G *= 1e198;
  const StripModel extreme = modelOf(section);
  for (unsigned classes : {unsigned(kGlobal), unsigned(kDistortional), unsigned(kLocal)}) {
    PureMode a, b;
    ASSERT_TRUE(pureModeAt(model, kCompression, 600, classes, a).ok());
    ASSERT_TRUE(pureModeAt(extreme, kCompression, 600, classes, b).ok());
    EXPECT_NEAR(b.lambda / (1e198 * a.lambda), 1, 1e-12) << classes;
  }
}

TEST(PureModeTest, EmptyAndUncompressedSpacesAreRefused) {
  const StripModel channel = modelOf(exampleSection("channel"));
  PureMode pure;
  EXPECT_EQ(pureModeAt(channel, kCompression, 500, kDistortional, pure).reason(),
            "the section has no D deformation");
  EXPECT_EQ(pureModeAt(channel, StressField{-1, 0, 0}, 500, kLocal, pure).reason(),
            "L: the stresses nowhere compress the space");
  const StripModel tube =
      modelOf(fromLines({{0, 0, 50, 0}, {50, 0, 50, 50}, {50, 50, 0, 50}, {0, 50, 0, 0}}, 2));
  EXPECT_EQ(pureModeAt(tube, kCompression, 500, kGlobal, pure).reason(),
            "it has a closed cell: the modal spaces are defined for open sections");
}

TEST(ModeIdentityTest, NamesFollowTheLargestShare) {
  EXPECT_EQ(nameOf({1, 2, 96, 1}), ModeName::local);
  EXPECT_EQ(nameOf({10, 60, 29, 1}), ModeName::distortional);
  EXPECT_EQ(nameOf({97, 2, 1, 0}), ModeName::global);
  EXPECT_EQ(nameOf({10, 20, 15, 55}), ModeName::mixed);  // O largest
  EXPECT_EQ(nameOf({30, 45, 25, 0}), ModeName::mixed);   // none above 50 %
  EXPECT_EQ(nameOf({50, 50, 0, 0}), ModeName::mixed);
  EXPECT_STREQ(nameText(ModeName::distortional), "distortional");
  EXPECT_STREQ(nameText(ModeName::mixed), "mixed");
  EXPECT_EQ(largestShare({10, 20, 15, 55}), kOther);
}

// A mode is followed from the sharp section to its rounded and finer-meshed
// versions by its shape; the local and the distortional mode stay apart.
TEST(ModeIdentityTest, ModesAreFollowedAcrossMeshesByTheirShape) {
  const CrossSection sharp = exampleSection("lipped_channel");
  const StripModel a = modelOf(sharp);
  StripModel fine;
  ASSERT_TRUE(buildStripModel(sharp, 0, fine, 3).ok());
  const StripModel round = modelOf(roundedSection(sharp, 8));
  const double localL = 155, distortionalL = 700;
  const DenseMode localA = lowestMode(a, kCompression, localL);
  const DenseMode distA = lowestMode(a, kCompression, distortionalL);
  EXPECT_NEAR(deformationLikeness(a, localA.vector, a, -3 * localA.vector), 1, 1e-12);
  EXPECT_GT(
      deformationLikeness(a, localA.vector, fine, lowestMode(fine, kCompression, localL).vector),
      0.99);
  const DenseMode localR = lowestMode(round, kCompression, localL);
  const DenseMode distR = lowestMode(round, kCompression, distortionalL);
  const double sameLocal = deformationLikeness(a, localA.vector, round, localR.vector);
  const double sameDist = deformationLikeness(a, distA.vector, round, distR.vector);
  EXPECT_GT(sameLocal, 0.9);
  EXPECT_GT(sameDist, 0.9);
  // The local mode at the distortional length is another mode.
  EXPECT_LT(deformationLikeness(a, localA.vector, round, distR.vector), kAlikeDeformation);
  const ModeShares sharesA = modeShares(spacesAt(a, distortionalL), distA.vector);
  const ModeShares sharesR = modeShares(spacesAt(round, distortionalL), distR.vector);
  EXPECT_TRUE(sameMode(sharesA, sharesR, sameDist));
  EXPECT_FALSE(sameMode(sharesA, modeShares(spacesAt(round, localL), localR.vector), 0.95));
  EXPECT_FALSE(sameMode(sharesA, sharesR, 0.5));
}

}  // namespace
