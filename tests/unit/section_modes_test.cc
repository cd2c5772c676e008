// The modes of a section for the table: the search of a minimum, the shares
// of modes of any terms, the naming of a curve's minima, the following of a
// mode through a series, the values converged in the mesh and the modes of
// members; against closed forms, a finer mesh and the constructions they
// stand in for.
#include "strip/section_modes.h"

#include <gtest/gtest.h>

#include <cmath>

#include "section/section_properties.h"
#include "strip/classical_buckling.h"
#include "strip/fold_structure.h"
#include "strip/member_modes.h"
#include "strip/minimum_search.h"
#include "tests/unit/modal_test_sections.h"

namespace {

const StressField kCompression{1, 0, 0};

// (L / a + a / L)^2: the simply supported plate's k, its minimum 4 at a.
LengthFunction plateCurve(double a, int& calls) {
  return [a, &calls](double L, double& lambda) {
    ++calls;
    lambda = (L / a + a / L) * (L / a + a / L);
    return true;
  };
}

TEST(MinimumSearchTest, FindsThePlateMinimumFromABracketAndFromAfar) {
  int calls = 0;
  const LengthFunction f = plateCurve(100, calls);
  double f120 = 0;
  ASSERT_TRUE(f(120, f120));
  const LengthMinimum m = minimumBetween(f, 50, 300, 120, f120);
  EXPECT_NEAR(m.length / 100, 1, kLengthTolerance);
  EXPECT_NEAR(m.lambda, 4, 1e-5);
  EXPECT_FALSE(m.failed);
  EXPECT_LT(calls, 30);
  // From the rising side far off: the bracket is walked down to it.
  double f300 = 0;
  ASSERT_TRUE(f(300, f300));
  const NearMinimum near = minimumNear(f, 300, f300, 1.1, 40);
  ASSERT_TRUE(near.found);
  EXPECT_NEAR(near.minimum.length / 100, 1, kLengthTolerance);
  // Too few steps to reach it, or a length without a value: no minimum.
  EXPECT_FALSE(minimumNear(f, 300, f300, 1.1, 3).found);
  const LengthFunction broken = [&f](double L, double& lambda) { return L > 90 && f(L, lambda); };
  EXPECT_FALSE(minimumNear(broken, 300, f300, 1.1, 40).found);
}

// The minimum of the S-S curve of a model near L, found by a dense grid
// and the search: the reference of a converged minimum.
double minimumOfModel(const StripModel& model, double L) {
  const StripSystem system(model, kCompression, EndConditions::SS);
  BucklingSolver solver(system);
  const LengthFunction f = [&solver](double length, double& lambda) {
    const BucklingSolution s = solver.solve(length, {1});
    lambda = s.lambda;
    return s.converged();
  };
  double fL = 0;
  EXPECT_TRUE(f(L, fL));
  const NearMinimum near = minimumNear(f, L, fL, 1.02, 40);
  EXPECT_TRUE(near.found);
  return near.minimum.lambda;
}

// Every converged minimum of the examples, sharp and rounded, agrees with
// the minimum of a mesh four times finer than the one it stopped at within
// 0.05 %, and says that it converged to 0.02 %.
TEST(MeshConvergenceTest, ConvergedMinimaAgreeWithAMeshFourTimesFiner) {
  const CrossSection lipped = exampleSection("lipped_channel");
  const CrossSection sections[] = {lipped, roundedSection(lipped, 4), exampleSection("zed"),
                                   roundedSection(exampleSection("hat"), 3)};
  for (const CrossSection& section : sections) {
    const StripModel model = modelOf(section);
    const StripSystem system(model, kCompression, EndConditions::SS);
    BucklingSolver solver(system);
    const SignatureCurve curve = signatureCurve(solver, halfWavelengths(20, 20000, 40), true);
    ASSERT_GE(curve.minima.size(), 1u) << section.title;
    MeshRefinement refinement(section, 0, kCompression);
    for (const CurveMinimum& m : curve.minima) {
      const ConvergedValue v = refinement.converge({true, 0, m.length, m.lambda});
      ASSERT_TRUE(v.converged) << section.title << " at " << m.length << ": " << v.reason;
      EXPECT_LT(v.uncertainty, kConvergedShare);
      StripModel fine;
      ASSERT_TRUE(buildStripModel(section, 0, fine, 4 * v.refinement).ok());
      EXPECT_NEAR(v.lambda / minimumOfModel(fine, v.length), 1, 5e-4)
          << section.title << " at " << m.length;
      // The finer the mesh, the lower lambda: the converged value lies below
      // the curve's own.
      EXPECT_LT(v.lambda, m.lambda * (1 + 1e-9));
    }
  }
}

TEST(MeshConvergenceTest, ARefinementThatCannotBeMadeIsNoConvergence) {
  // Plates 0.158 wide, 2 thick: refined once, their strips would be
  // narrower than 0.05 t.
  SectionRecipe recipe;
  recipe.shape = "lipped-channel";
  recipe.dimensions = {200, 75, 20, 2};
  recipe.divide = 120;
  CrossSection section;
  ASSERT_TRUE(makeSection(recipe, section).ok());
  MeshRefinement refinement(section, 0, kCompression);
  const ConvergedValue v = refinement.converge({true, 0, 155, 0.1058});
  EXPECT_FALSE(v.converged);
  EXPECT_EQ(v.refinement, 1);
  EXPECT_EQ(v.lambda, 0.1058);
  EXPECT_FALSE(std::isfinite(v.uncertainty));
  EXPECT_NE(v.reason.find("narrower than 0.05 t"), std::string::npos) << v.reason;
}

TEST(MeshConvergenceTest, AChangeWithinTwiceItsUncertaintyIsNone) {
  ConvergedValue first, later;
  first.lambda = 1, first.uncertainty = 1e-4;
  later.lambda = 1.001, later.uncertainty = 2e-4;
  ValueChange c = changeBetween(first, later);
  EXPECT_NEAR(c.change, 0.1, 1e-12);
  EXPECT_NEAR(c.uncertainty, 100 * 1.001 * 3e-4, 1e-12);
  EXPECT_FALSE(c.withinUncertainty);
  later.lambda = 1.0005;
  EXPECT_TRUE(changeBetween(first, later).withinUncertainty);
  later.uncertainty = HUGE_VAL;  // unknown: no claim either way
  c = changeBetween(first, later);
  EXPECT_FALSE(c.withinUncertainty);
  EXPECT_FALSE(std::isfinite(c.uncertainty));
}

// The classifier's shares are those of the spaces built for the model in its
// own units; a mode of several terms split term by term gives the shares of
// the builder prepared for all its terms with the norm that measures each
// term as one.
TEST(ModeClassifierTest, SharesOfOneTermAndOfSeveralAreThoseOfTheBuilder) {
  const StripModel model = modelOf(roundedSection(exampleSection("lipped_channel"), 4));
  const StripSystem simple(model, kCompression, EndConditions::SS);
  ModeClassifier classifier;
  ASSERT_TRUE(classifier.prepare(simple).ok());
  for (double L : {150.0, 700.0, 5000.0}) {
    const DenseMode dense = lowestMode(model, kCompression, L);
    ModeShares fast;
    ASSERT_TRUE(classifier.sharesOf(dense.vector, {1}, L, fast).ok());
    const ModeShares direct = modeShares(directSpacesAt(model, L), dense.vector);
    EXPECT_NEAR(fast.global, direct.global, 1e-7) << L;
    EXPECT_NEAR(fast.distortional, direct.distortional, 1e-7) << L;
    EXPECT_NEAR(fast.local, direct.local, 1e-7) << L;
    EXPECT_NEAR(fast.other, direct.other, 1e-7) << L;
  }
  // A clamped member of three terms.
  const double a = 1200;
  const StripSystem clamped(model, kCompression, EndConditions::CC);
  BucklingSolver solver(clamped);
  const BucklingSolution s = solver.solve(a, {1, 2, 3});
  ASSERT_TRUE(s.converged()) << s.reason;
  ModeShares split;
  ASSERT_TRUE(classifier.sharesOf(s, a, split).ok());
  const StripModel& scaled = clamped.scaled();
  const Eigen::SparseMatrix<double> one = workNorm(scaled, 1);
  std::vector<Eigen::Triplet<double>> entries;
  for (int term = 0; term < 3; ++term) {
    for (Eigen::Index c = 0; c < one.outerSize(); ++c) {
      for (Eigen::SparseMatrix<double>::InnerIterator it(one, c); it; ++it) {
        entries.emplace_back(it.row() + term * one.rows(), it.col() + term * one.rows(),
                             it.value());
      }
    }
  }
  Eigen::SparseMatrix<double> blocks(3 * one.rows(), 3 * one.rows());
  blocks.setFromTriplets(entries.begin(), entries.end());
  FoldStructure folds;
  ASSERT_TRUE(findFolds(scaled, folds).ok());
  ModalSpaceBuilder builder;
  ASSERT_TRUE(builder.prepare(scaled, folds, 3, blocks).ok());
  const double D = clamped.lengthScale();
  ModalSpaces spaces;
  ASSERT_TRUE(builder.spacesAt({kPi * D / a, 2 * kPi * D / a, 3 * kPi * D / a}, spaces).ok());
  Eigen::VectorXd solved = s.mode;
  for (Eigen::Index i = 0; i < solved.size(); ++i) {
    if (i % 4 != 3) solved[i] /= D;
  }
  const ModeShares whole = modeShares(spaces, solved);
  EXPECT_NEAR(split.global, whole.global, 1e-7);
  EXPECT_NEAR(split.distortional, whole.distortional, 1e-7);
  EXPECT_NEAR(split.local, whole.local, 1e-7);
  EXPECT_NEAR(split.other, whole.other, 1e-7);
  EXPECT_NEAR(split.global + split.distortional + split.local + split.other, 100, 1e-9);
}

FoundMode candidate(ModeSource source, double length, double lambda, ModeShares shares) {
  FoundMode m;
  m.source = source;
  m.length = length;
  m.lambda = lambda;
  m.shares = shares;
  m.name = nameOf(shares);
  return m;
}

TEST(MinimaNamingTest, TheLowestOfEachNameIsChosenAndTheOthersListed) {
  const ModeShares L{0, 2, 97, 1}, D{1, 90, 9, 0}, G{99, 1, 0, 0}, mixed{40, 30, 30, 0};
  const std::vector<FoundMode> candidates{candidate(ModeSource::minimum, 100, 0.20, L),
                                          candidate(ModeSource::minimum, 300, 0.30, D),
                                          candidate(ModeSource::minimum, 500, 0.25, D),
                                          candidate(ModeSource::minimum, 800, 0.40, mixed),
                                          candidate(ModeSource::minimum, 2000, 0.02, G),
                                          candidate(ModeSource::longestLength, 9000, 0.01, G)};
  const MinimaNames names = nameMinima(candidates);
  EXPECT_EQ(names.chosen, (std::array<int, 3>{0, 2, 5}));
  EXPECT_EQ(names.further, (std::vector<int>{1, 4}));
  EXPECT_EQ(names.mixed, (std::vector<int>{3}));
  // A longest length that is no global mode names nothing; a global minimum
  // below it is the global value.
  std::vector<FoundMode> others = candidates;
  others[5] = candidate(ModeSource::longestLength, 9000, 0.01, D);
  EXPECT_EQ(nameMinima(others).chosen[2], 4);
  EXPECT_EQ(nameMinima({}).chosen, (std::array<int, 3>{-1, -1, -1}));
  EXPECT_STREQ(sourceText(ModeSource::pureMode), "pure mode");
  EXPECT_STREQ(sourceText(ModeSource::none), "-");
}

SectionModes& analysed(std::unique_ptr<SectionModes>& holder, const CrossSection& section,
                       const StressField& stress, const std::vector<double>& lengths) {
  holder = std::make_unique<SectionModes>(section, modelOf(section), 0, stress);
  holder->analyse(lengths);
  return *holder;
}

// The web-stiffened channel bent about its major axis: its curve's three
// minima are local, the web stiffeners' distortional mode and the flanges'
// distortional mode; the table's distortional value is the flanges', the
// lower, and the stiffeners' is a further distortional minimum.
TEST(SectionModesTest, TheWebStiffenedChannelInBendingNamesItsThreeMinima) {
  std::unique_ptr<SectionModes> holder;
  SectionModes& modes =
      analysed(holder, webStiffenedChannel(), StressField{1, 0, -0.2}, halfWavelengths(1, 300, 60));
  modes.nameModes();
  ASSERT_EQ(modes.curve().minima.size(), 3u);
  const std::array<ReportedMode, 3>& named = modes.modes();
  EXPECT_NEAR(std::log(named[0].found.length / 2.8), 0, std::log(1.15));
  EXPECT_NEAR(std::log(named[1].found.length / 30.4), 0, std::log(1.15));
  EXPECT_EQ(named[1].found.source, ModeSource::minimum);
  EXPECT_EQ(named[2].found.source, ModeSource::longestLength);
  ASSERT_EQ(modes.further().size(), 1u);
  EXPECT_EQ(modes.further()[0].name, ModeName::distortional);
  EXPECT_NEAR(std::log(modes.further()[0].length / 10.2), 0, std::log(1.15));
  EXPECT_GT(modes.further()[0].lambda, 1.3 * named[1].found.lambda);
  EXPECT_TRUE(modes.mixed().empty());
}

// A lipped channel with a slender web (6 x 1.625 x 0.5 x 0.0566 in) has no
// distortional minimum: its value is the pure distortional curve's minimum,
// which lies above the full curve at that length.
TEST(SectionModesTest, ASlenderWebTakesTheDistortionalValueFromThePureCurve) {
  SectionRecipe recipe;
  recipe.shape = "lipped-channel";
  recipe.dimensions = {6, 1.625, 0.5, 0.0566};
  CrossSection section;
  ASSERT_TRUE(makeSection(recipe, section).ok());
  section.E = 29500, section.G = 29500 / 2.6;
  std::unique_ptr<SectionModes> holder;
  SectionModes& modes = analysed(holder, section, kCompression, halfWavelengths(0.6, 600, 60));
  modes.nameModes();
  const ReportedMode& d = modes.modes()[1];
  ASSERT_EQ(d.found.source, ModeSource::pureMode) << d.missing;
  EXPECT_EQ(d.found.pureClasses, unsigned(kDistortional));
  EXPECT_GT(d.found.shares.distortional, 99);
  const double full = lowestMode(modes.model(), kCompression, d.found.length).lambda;
  EXPECT_GT(d.found.lambda, full);
  // Its pure curve is at or above the full curve at every length.
  std::string refusal;
  const std::vector<double>& pure = modes.pureCurve(kDistortional, refusal);
  ASSERT_TRUE(refusal.empty()) << refusal;
  for (std::size_t i = 0; i < pure.size(); ++i) {
    EXPECT_GE(pure[i], modes.curve().points[i].lambda * (1 - 1e-9)) << i;
  }
  modes.convergeModes();
  EXPECT_TRUE(modes.modes()[1].value.converged) << modes.modes()[1].value.reason;
}

// Each mode of the rounded lipped channel is followed from the sharp one's
// by its shape; a plain channel has no mode like the lipped channel's
// distortional one, and no distortional space to take a pure one from.
TEST(SectionModesTest, ModesAreFollowedFromTheFirstSectionOfASeries) {
  const std::vector<double> lengths = halfWavelengths(20, 20000, 50);
  const CrossSection sharp = exampleSection("lipped_channel");
  std::unique_ptr<SectionModes> a, b, c;
  SectionModes& first = analysed(a, sharp, kCompression, lengths);
  first.nameModes();
  SectionModes& round = analysed(b, roundedSection(sharp, 6), kCompression, lengths);
  round.followModes(first);
  for (std::size_t slot = 0; slot < 3; ++slot) {
    const ReportedMode& m = round.modes()[slot];
    EXPECT_TRUE(m.followed) << slot;
    EXPECT_GE(m.likeness, kAlikeDeformation) << slot;
    EXPECT_EQ(m.found.source, first.modes()[slot].found.source) << slot;
    EXPECT_EQ(m.found.name, kNamedModes[slot]) << slot;
  }
  SectionModes& plain = analysed(c, exampleSection("channel"), kCompression, lengths);
  plain.followModes(first);
  EXPECT_EQ(plain.modes()[0].found.source, ModeSource::minimum);  // alike or its own
  EXPECT_FALSE(plain.modes()[1].followed);
  EXPECT_EQ(plain.modes()[1].found.source, ModeSource::none);
  EXPECT_EQ(plain.modes()[1].missing, "the section has no D deformation");
}

TEST(SectionModesTest, AClosedSectionHasNoShares) {
  std::unique_ptr<SectionModes> holder;
  SectionModes& modes = analysed(
      holder, fromLines({{0, 0, 50, 0}, {50, 0, 50, 50}, {50, 50, 0, 50}, {0, 50, 0, 0}}, 2),
      kCompression, halfWavelengths(10, 5000, 30));
  EXPECT_FALSE(modes.hasShares());
  EXPECT_EQ(modes.noShares(),
            "it has a closed cell: the modal spaces are defined for open sections");
  modes.nameModes();
  for (const ReportedMode& m : modes.modes()) {
    EXPECT_EQ(m.found.source, ModeSource::none);
    EXPECT_EQ(m.missing, modes.noShares());
  }
  EXPECT_FALSE(modes.curve().minima.empty());
}

// A pure global member of any end conditions is the classical column of its
// effective length: K = 1 for S-S, 0.5 for C-C.
TEST(MemberModesTest, ThePureGlobalMemberIsTheClassicalColumn) {
  const CrossSection section = exampleSection("lipped_channel");
  const StripModel model = modelOf(section);
  const SectionProperties p = computeProperties(section);
  const StripSystem simple(withoutPoissonCoupling(model), kCompression, EndConditions::SS);
  const StripSystem clamped(withoutPoissonCoupling(model), kCompression, EndConditions::CC);
  ModalSpaceBuilder spaces;
  ASSERT_TRUE(spaces.prepare(simple.scaled()).ok());
  const struct {
    const StripSystem* system;
    double K;
    std::vector<int> terms;
  } cases[] = {{&simple, 1.0, {1}}, {&clamped, 0.5, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10}}};
  for (const auto& c : cases) {
    for (double a : {8000.0, 20000.0}) {
      PureMode pure;
      ASSERT_TRUE(pureMemberModeAt(spaces, *c.system, a, c.terms, kGlobal, pure).ok());
      GlobalBuckling classical;
      ASSERT_TRUE(
          classicalGlobalBuckling(p, section.E, section.G, {c.K * a, c.K * a, c.K * a}, classical)
              .ok());
      EXPECT_NEAR(pure.lambda / classical.stress, 1, 2e-3) << c.K << " " << a;
    }
  }
}

// A member curve: each length's mode named by its shares over all its
// terms; the global value the lowest global one, or the pure global
// problem where none is.
TEST(MemberModesTest, MemberModesAreNamedAndGiveTheGlobalValue) {
  const StripModel model = modelOf(exampleSection("lipped_channel"));
  const MemberModes cc = memberModes(model, kCompression, EndConditions::CC, {1000, 8000}, 0);
  ASSERT_EQ(cc.points.size(), 2u);
  EXPECT_EQ(cc.points[0].name, ModeName::local);
  EXPECT_GT(cc.points[0].shares.local, 95);
  EXPECT_EQ(cc.points[1].name, ModeName::global);
  EXPECT_GT(cc.points[1].shares.global, 95);
  EXPECT_EQ(cc.global.source, ModeSource::memberLength);
  EXPECT_EQ(cc.global.lambda, cc.points[1].point.lambda);
  const MemberModes ss = memberModes(model, kCompression, EndConditions::SS, {1500}, 0);
  EXPECT_EQ(ss.points[0].name, ModeName::local);
  ASSERT_EQ(ss.global.source, ModeSource::pureMode) << ss.missing;
  EXPECT_GT(ss.global.lambda, ss.points[0].point.lambda);
  EXPECT_GT(ss.global.shares.global, 99);
}

// The plates of a rounded corner are found, and keep their strips whatever
// count the flat plates are given.
TEST(ArcPlatesTest, ArcPlatesKeepTheirStrips) {
  const CrossSection round = roundedSection(exampleSection("lipped_channel"), 4);
  const StripModel model = modelOf(round);
  const std::vector<char> arc = arcStrips(model);
  int arcs = 0;
  for (char a : arc) arcs += a;
  EXPECT_EQ(arcs, 16);  // four corners, four arc plates each
  int sharpArcs = 0;
  for (char a : arcStrips(modelOf(exampleSection("lipped_channel")))) sharpArcs += a;
  EXPECT_EQ(sharpArcs, 0);
  StripModel fine;
  ASSERT_TRUE(buildStripModel(round, 10, fine).ok());
  std::vector<int> stripsOfPlate(std::size_t(round.ns), 0);
  for (const Strip& s : fine.strips) ++stripsOfPlate[std::size_t(s.plate)];
  const std::vector<char> fineArc = arcStrips(fine);
  for (std::size_t i = 0; i < fine.strips.size(); ++i) {
    EXPECT_EQ(stripsOfPlate[std::size_t(fine.strips[i].plate)], fineArc[i] ? 1 : 10) << i;
  }
  const ModelCount count = countStrips(round, 10);
  EXPECT_EQ(count.strips, double(fine.strips.size()));
  EXPECT_EQ(count.nodes, double(fine.nodes.size()));
}

}  // namespace
