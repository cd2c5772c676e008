// The folds, the modal spaces and the shares of buckling modes: sharp
// sections against the mechanics of their minima, rounded sections against
// their sharp originals.
#include "strip/modal_spaces.h"

#include <gtest/gtest.h>

#include <cmath>

#include "section/plate_geometry.h"
#include "section/section_properties.h"
#include "strip/fold_structure.h"
#include "strip/mode_identity.h"
#include "strip/pure_modes.h"
#include "strip/signature_curve.h"
#include "tests/unit/modal_test_sections.h"

namespace {

const StressField kCompression{1, 0, 0};

void expectSumsTo100(const ModeShares& s) {
  EXPECT_NEAR(s.global + s.distortional + s.local + s.other, 100, 1e-9);
  for (double share : {s.global, s.distortional, s.local, s.other}) EXPECT_GE(share, 0);
}

std::vector<CurveMinimum> minimaOf(const StripModel& model, const StressField& stress, double first,
                                   double last) {
  const StripSystem system(model, stress, EndConditions::SS);
  BucklingSolver solver(system);
  return signatureCurve(solver, halfWavelengths(first, last, 50), true).minima;
}

TEST(FoldStructureTest, RoundedCornersAreOneFoldEachWithThePivotAtTheSharpCorner) {
  const CrossSection sharp = exampleSection("lipped_channel");
  FoldStructure sharpFolds, roundFolds;
  ASSERT_TRUE(findFolds(modelOf(sharp), sharpFolds).ok());
  EXPECT_EQ(sharpFolds.folds.size(), 6u);  // four corners, two free edges
  EXPECT_EQ(sharpFolds.walls.size(), 5u);
  const StripModel round = modelOf(roundedSection(sharp, 8));
  ASSERT_TRUE(findFolds(round, roundFolds).ok());
  ASSERT_EQ(roundFolds.folds.size(), 6u);
  EXPECT_EQ(roundFolds.walls.size(), 5u);
  int arcs = 0;
  for (const Fold& fold : roundFolds.folds) {
    if (fold.nodes.size() == 1) continue;
    ++arcs;
    EXPECT_EQ(fold.nodes.size(), 5u);  // four arc plates
    EXPECT_EQ(fold.strips.size(), 4u);
    double nearest = HUGE_VAL;  // the pivot is one of the sharp section's corners
    for (int node = 2; node <= 5; ++node) {
      nearest = std::min(nearest, std::hypot(fold.pivotY - sharp.nodeY[node - 1],
                                             fold.pivotZ - sharp.nodeZ[node - 1]));
    }
    EXPECT_LT(nearest, 1e-9 * 200);
  }
  EXPECT_EQ(arcs, 4);
  // A plate in pieces has the folds of one plate: collinear nodes are no folds.
  SectionRecipe recipe;
  recipe.shape = "lipped-channel";
  recipe.dimensions = {200, 75, 20, 2};
  recipe.divide = 3;
  CrossSection divided;
  ASSERT_TRUE(makeSection(recipe, divided).ok());
  FoldStructure dividedFolds;
  ASSERT_TRUE(findFolds(modelOf(divided), dividedFolds).ok());
  EXPECT_EQ(dividedFolds.folds.size(), 6u);
}

TEST(FoldStructureTest, ClosedAndDisconnectedSectionsAreRefused) {
  FoldStructure folds;
  const CrossSection tube =
      fromLines({{0, 0, 50, 0}, {50, 0, 50, 50}, {50, 50, 0, 50}, {0, 50, 0, 0}}, 2);
  EXPECT_EQ(findFolds(modelOf(tube), folds).reason(),
            "it has a closed cell: the modal spaces are defined for open sections");
  const CrossSection apart = fromLines({{0, 0, 50, 0}, {0, 20, 50, 20}}, 2);
  EXPECT_EQ(findFolds(modelOf(apart), folds).reason(),
            "its parts do not touch: the modal spaces need one connected section");
  const StripModel model = modelOf(exampleSection("channel"));
  ASSERT_TRUE(findFolds(model, folds).ok());
  ModalSpaces spaces;
  EXPECT_EQ(buildModalSpaces(model, folds, {0.0}, workNorm(model, 100), spaces).reason(),
            "a wavenumber is not above 0");
  EXPECT_EQ(
      buildModalSpaces(model, folds, {kPi / 100, kPi / 50}, workNorm(model, 100), spaces).reason(),
      "the work norm or the folds do not fit the model");
}

// The dimensions of the spaces follow from the folds: G has the four rigid
// motions with warping, G + D one warping per fold, O two membrane strains
// per strip.
TEST(ModalSpacesTest, SpacesHaveTheDimensionsOfTheirDefinitions) {
  const StripModel lipped = modelOf(exampleSection("lipped_channel"));
  const ModalSpaces spaces = spacesAt(lipped, 500);
  EXPECT_EQ(spaces.global.cols(), 4);
  EXPECT_EQ(spaces.distortional.cols(), 2);  // six folds, four of them global
  const Eigen::Index n = 4 * Eigen::Index(lipped.nodes.size());
  EXPECT_EQ(spaceBasis(spaces, kOther).cols(), 2 * Eigen::Index(lipped.strips.size()));
  EXPECT_EQ(spaceBasis(spaces, kGlobal | kDistortional | kLocal | kOther).cols(), n);
  // The bases are orthonormal in the work norm.
  const Eigen::MatrixXd G = spaces.global;
  EXPECT_LT((G.transpose() * (spaces.work * G) - Eigen::MatrixXd::Identity(4, 4)).norm(), 1e-9);
  // A flat plate: axial and in-plane bending are global; its weak-axis
  // bending and twist have no warping and are local.
  const StripModel plate = modelOf(fromLines({{0, 0, 100, 0}}, 2));
  const ModalSpaces plateSpaces = spacesAt(plate, 300);
  EXPECT_EQ(plateSpaces.global.cols(), 2);
  EXPECT_EQ(plateSpaces.distortional.cols(), 0);
  // An angle twisted about its corner has no warping: local.
  const ModalSpaces angle = spacesAt(modelOf(exampleSection("angle")), 300);
  EXPECT_EQ(angle.global.cols(), 3);
  EXPECT_EQ(angle.distortional.cols(), 0);
}

// A vector with a part in every space, the same on every run.
Eigen::VectorXd mixedVector(Eigen::Index size) {
  Eigen::VectorXd x(size);
  for (Eigen::Index i = 0; i < size; ++i) x[i] = std::sin(1.7 * double(i) + 0.3);
  return x;
}

void expectSameShares(const ModeShares& a, const ModeShares& b, const std::string& where) {
  EXPECT_NEAR(a.global, b.global, 1e-9) << where;
  EXPECT_NEAR(a.distortional, b.distortional, 1e-9) << where;
  EXPECT_NEAR(a.local, b.local, 1e-9) << where;
  EXPECT_NEAR(a.other, b.other, 1e-9) << where;
}

void expectSameSpaces(const ModalSpaces& direct, const ModalSpaces& fast,
                      const std::vector<Eigen::VectorXd>& vectors, const std::string& where) {
  EXPECT_EQ(direct.global.cols(), fast.global.cols()) << where;
  EXPECT_EQ(direct.distortional.cols(), fast.distortional.cols()) << where;
  EXPECT_EQ(direct.local.cols(), fast.local.cols()) << where;
  for (const Eigen::VectorXd& x : vectors) {
    expectSameShares(modeShares(direct, x), modeShares(fast, x), where);
  }
}

// The builder's spaces are those built directly from the definitions: the
// same dimensions and the same shares of buckling modes and of a vector
// with a part in every space, over two and a half decades of length, on
// sharp and rounded sections, and with two longitudinal terms. (Longer, the
// direct construction starts to lose the small warping that an arc's turn
// carries, which shrinks with the wavenumber below its rank test; the
// builder decides once, where warping and bending weigh alike.)
TEST(ModalSpaceBuilderTest, SpacesAreTheDirectConstructionsAtEveryLength) {
  const CrossSection zed = exampleSection("zed");
  const CrossSection sections[] = {exampleSection("lipped_channel"),
                                   roundedSection(exampleSection("lipped_channel"), 8), zed,
                                   roundedSection(zed, 4 * zed.t_r[0]), webStiffenedChannel()};
  for (const CrossSection& section : sections) {
    const StripModel model = modelOf(section);
    ModalSpaceBuilder builder;
    ASSERT_TRUE(builder.prepare(model).ok());
    const double size = sectionSize(section);
    for (double share : {0.1, 1.0, 10.0, 30.0}) {
      const double L = share * size;
      ModalSpaces fast;
      ASSERT_TRUE(builder.spacesAt({kPi / L}, fast).ok());
      const std::vector<Eigen::VectorXd> vectors{
          lowestMode(model, kCompression, L).vector,
          lowestMode(model, StressField{1, 0, -2 / size}, L).vector,
          mixedVector(4 * Eigen::Index(model.nodes.size()))};
      expectSameSpaces(directSpacesAt(model, L), fast, vectors,
                       section.title + " at " + std::to_string(L));
    }
  }
  // Terms 1 and 2 of a simply supported member: each term's work norm is
  // the one-term norm, which does not depend on the length.
  const StripModel model = modelOf(roundedSection(exampleSection("lipped_channel"), 8));
  const Eigen::SparseMatrix<double> one = workNorm(model, 1000);
  std::vector<Eigen::Triplet<double>> entries;
  for (int term = 0; term < 2; ++term) {
    for (Eigen::Index c = 0; c < one.outerSize(); ++c) {
      for (Eigen::SparseMatrix<double>::InnerIterator it(one, c); it; ++it) {
        entries.emplace_back(it.row() + term * one.rows(), it.col() + term * one.rows(),
                             it.value());
      }
    }
  }
  Eigen::SparseMatrix<double> two(2 * one.rows(), 2 * one.rows());
  two.setFromTriplets(entries.begin(), entries.end());
  FoldStructure folds;
  ASSERT_TRUE(findFolds(model, folds).ok());
  ModalSpaceBuilder builder;
  ASSERT_TRUE(builder.prepare(model, folds, 2, two).ok());
  for (double a : {300.0, 3000.0}) {
    const std::vector<double> wavenumbers{kPi / a, 2 * kPi / a};
    ModalSpaces direct, fast;
    ASSERT_TRUE(buildModalSpaces(model, folds, wavenumbers, two, direct).ok());
    ASSERT_TRUE(builder.spacesAt(wavenumbers, fast).ok());
    Eigen::VectorXd modes(two.rows());
    modes << lowestMode(model, kCompression, a).vector,
        lowestMode(model, kCompression, a / 2).vector;
    expectSameSpaces(direct, fast, {modes, mixedVector(two.rows())},
                     "two terms at " + std::to_string(a));
  }
}

// The spaces prepared from a strip system whose stress is a bending use
// the work norm of a uniform compression all the same: the system's own
// strip matrices give the norm of its scaled model, and the spaces alike.
TEST(ModalSpaceBuilderTest, ASystemGivesTheSpacesOfItsScaledModel) {
  const CrossSection section = roundedSection(exampleSection("lipped_channel"), 8);
  const StripModel model = modelOf(section);
  const double size = sectionSize(section);
  const StripSystem system(model, StressField{1, 0, -2 / size}, EndConditions::SS);
  const StripModel& scaled = system.scaled();
  const Eigen::SparseMatrix<double> own = solvedWorkNorm(system, 0.7, 1);
  const Eigen::SparseMatrix<double> built = workNorm(scaled, 0.7);
  EXPECT_LT((own - built).norm(), 1e-12 * built.norm());
  ModalSpaceBuilder fromSystem, fromModel;
  ASSERT_TRUE(fromSystem.prepare(system).ok());
  ASSERT_TRUE(fromModel.prepare(scaled).ok());
  for (double L : {0.5, 3.0, 50.0}) {
    ModalSpaces a, b;
    ASSERT_TRUE(fromSystem.spacesAt({kPi / L}, a).ok());
    ASSERT_TRUE(fromModel.spacesAt({kPi / L}, b).ok());
    expectSameSpaces(b, a, {lowestMode(scaled, kCompression, L).vector,
                            mixedVector(4 * Eigen::Index(scaled.nodes.size()))},
                     "at " + std::to_string(L) + " D");
  }
  // Other ends than S-S: the spaces of the model, as their integrals differ.
  const StripSystem clamped(model, kCompression, EndConditions::CC);
  ModalSpaceBuilder fromClamped;
  ASSERT_TRUE(fromClamped.prepare(clamped).ok());
  ModalSpaces c, d;
  ASSERT_TRUE(fromClamped.spacesAt({kPi / 3.0}, c).ok());
  ASSERT_TRUE(fromModel.spacesAt({kPi / 3.0}, d).ok());
  expectSameSpaces(d, c, {mixedVector(4 * Eigen::Index(scaled.nodes.size()))}, "C-C");
}

// A rounded corner (of the examples, R from t to 4 t) turns as one fold and
// carries the warping of its own turn: D gains one direction per arc, at
// every length of a curve. (Smaller arcs, or the web stiffeners' closely
// spaced ones, turn with warpings too small to tell from L's turn, which
// the rank test leaves out.)
TEST(ModalSpaceBuilderTest, EachRoundedCornerAddsOneDistortionalDirectionAtEveryLength) {
  for (const char* name : {"channel", "lipped_channel", "zed", "hat"}) {
    const CrossSection sharp = exampleSection(name);
    const Eigen::Index sharpD = spacesAt(modelOf(sharp), 500).distortional.cols();
    for (double R : {1.0, 4.0}) {
      const StripModel round = modelOf(roundedSection(sharp, R * sharp.t_r[0]));
      FoldStructure folds;
      ASSERT_TRUE(findFolds(round, folds).ok());
      Eigen::Index arcs = 0;
      for (const Fold& fold : folds.folds) arcs += fold.strips.empty() ? 0 : 1;
      ModalSpaceBuilder builder;
      ASSERT_TRUE(builder.prepare(round).ok());
      const double size = sectionSize(sharp);
      for (double share : {0.1, 1.0, 10.0, 100.0, 200.0}) {
        ModalSpaces spaces;
        ASSERT_TRUE(builder.spacesAt({kPi / (share * size)}, spaces).ok());
        EXPECT_EQ(spaces.distortional.cols(), sharpD + arcs) << name << " R " << R << " " << share;
      }
    }
  }
}

TEST(ModalSpaceBuilderTest, UnfitInputsAreRefused) {
  ModalSpaceBuilder builder;
  ModalSpaces spaces;
  EXPECT_EQ(builder.spacesAt({0.01}, spaces).reason(), "the modal spaces were not prepared");
  const StripModel channel = modelOf(exampleSection("channel"));
  ASSERT_TRUE(builder.prepare(channel).ok());
  EXPECT_EQ(builder.spacesAt({0.01, 0.02}, spaces).reason(),
            "the wavenumbers do not fit the prepared terms");
  EXPECT_EQ(builder.spacesAt({-0.01}, spaces).reason(), "a wavenumber is not above 0");
  PureMode pure;
  const StripModel lipped = modelOf(exampleSection("lipped_channel"));
  EXPECT_EQ(
      pureModeAt(builder, StripSystem(lipped, kCompression, EndConditions::SS), 500, kLocal, pure)
          .reason(),
      "the modal spaces were prepared for another model");
  // A refused preparation leaves nothing prepared.
  const StripModel tube =
      modelOf(fromLines({{0, 0, 50, 0}, {50, 0, 50, 50}, {50, 50, 0, 50}, {0, 50, 0, 0}}, 2));
  EXPECT_EQ(builder.prepare(tube).reason(),
            "it has a closed cell: the modal spaces are defined for open sections");
  EXPECT_EQ(builder.spacesAt({0.01}, spaces).reason(), "the modal spaces were not prepared");
  FoldStructure folds;
  ASSERT_TRUE(findFolds(channel, folds).ok());
  EXPECT_EQ(builder.prepare(channel, folds, 2, workNorm(channel, 100)).reason(),
            "the work norm or the folds do not fit the model");
  // The warping of node 0 tied to its displacement in the plane.
  Eigen::SparseMatrix<double> coupled = workNorm(channel, 100);
  coupled.coeffRef(0, 2) += 1e-3 * coupled.coeff(0, 0);
  coupled.coeffRef(2, 0) += 1e-3 * coupled.coeff(0, 0);
  EXPECT_EQ(builder.prepare(channel, folds, 1, coupled).reason(),
            "the work norm couples the warping with the motions in the plane");
}

TEST(ModalSharesTest, SharpSectionsAtTheirMinimaAndAtLongLengths) {
  // Lipped channel 200 x 75 x 20 x 2: local and distortional minima.
  const StripModel lipped = modelOf(exampleSection("lipped_channel"));
  const std::vector<CurveMinimum> minima = minimaOf(lipped, kCompression, 20, 20000);
  ASSERT_EQ(minima.size(), 2u);
  const ModeShares local = sharesAt(lipped, kCompression, minima[0].length);
  const ModeShares distortional = sharesAt(lipped, kCompression, minima[1].length);
  const ModeShares global = sharesAt(lipped, kCompression, 20000);
  EXPECT_GT(local.local, 80);
  EXPECT_GT(distortional.distortional, 80);
  EXPECT_GT(global.global, 95);
  for (const ModeShares& s : {local, distortional, global}) expectSumsTo100(s);
  // A flat plate buckles without warping at every length: L only.
  const StripModel plate = modelOf(fromLines({{0, 0, 100, 0}}, 2));
  for (double L : {50.0, 500.0, 5000.0}) EXPECT_GT(sharesAt(plate, kCompression, L).local, 99.99);
  // A plain channel has no distortional space: local, then global.
  const StripModel channel = modelOf(exampleSection("channel"));
  const std::vector<CurveMinimum> channelMinima = minimaOf(channel, kCompression, 20, 20000);
  ASSERT_FALSE(channelMinima.empty());
  EXPECT_GT(sharesAt(channel, kCompression, channelMinima[0].length).local, 80);
  EXPECT_GT(sharesAt(channel, kCompression, 20000).global, 95);
  EXPECT_EQ(spacesAt(channel, 800).distortional.cols(), 0);
  // A lipped zed, in compression and bent about its major axis.
  const StripModel zed = modelOf(exampleSection("zed"));
  const std::vector<CurveMinimum> zedMinima = minimaOf(zed, kCompression, 20, 20000);
  ASSERT_EQ(zedMinima.size(), 2u);
  EXPECT_GT(sharesAt(zed, kCompression, zedMinima[0].length).local, 80);
  EXPECT_GT(sharesAt(zed, kCompression, zedMinima[1].length).distortional, 80);
  EXPECT_GT(sharesAt(zed, kCompression, 20000).global, 95);
}

// For each minimum of the rounded section, the sharp section's nearest
// minimum (within a factor 1.5 in length) and their shares within 10
// points; the same at a long length. A sharp minimum may vanish with the
// rounding (the web-stiffened channel's local one from R = 3 t on).
void expectRoundedAgrees(const std::string& name, const CrossSection& sharp,
                         const StressField& stress, double first, double last) {
  const StripModel sharpModel = modelOf(sharp);
  const std::vector<CurveMinimum> sharpMinima = minimaOf(sharpModel, stress, first, last);
  const double t = sharp.t_r[0];
  for (double R : {t, 2 * t, 4 * t}) {
    const StripModel round = modelOf(roundedSection(sharp, R));
    std::vector<std::pair<double, double>> pairs{{last, last}};
    for (const CurveMinimum& r : minimaOf(round, stress, first, last)) {
      double nearest = 0, ratio = HUGE_VAL;
      for (const CurveMinimum& m : sharpMinima) {
        const double q = std::fabs(std::log(r.length / m.length));
        if (q < ratio) ratio = q, nearest = m.length;
      }
      EXPECT_LT(ratio, std::log(1.5)) << name << " R " << R << ": no minimum near " << r.length;
      if (ratio < std::log(1.5)) pairs.push_back({nearest, r.length});
    }
    // At most one sharp minimum vanishes (pairs holds the long length too).
    EXPECT_GE(pairs.size(), sharpMinima.size()) << name << " R " << R;
    for (const auto& [atSharp, atRound] : pairs) {
      const ModeShares a = sharesAt(sharpModel, stress, atSharp);
      const ModeShares b = sharesAt(round, stress, atRound);
      const std::string where = name + " R " + std::to_string(R) + " at " + std::to_string(atSharp);
      EXPECT_NEAR(a.global, b.global, 10) << where;
      EXPECT_NEAR(a.distortional, b.distortional, 10) << where;
      EXPECT_NEAR(a.local, b.local, 10) << where;
      EXPECT_NEAR(a.other, b.other, 10) << where;
      EXPECT_EQ(nameOf(a), nameOf(b)) << where;
    }
  }
}

TEST(ModalSharesTest, RoundedExamplesShareAsTheirSharpOriginals) {
  for (const char* name : {"angle", "channel", "hat", "lipped_channel", "zed"}) {
    expectRoundedAgrees(name, exampleSection(name), kCompression, 20, 20000);
  }
}

TEST(ModalSharesTest, RoundedCatalogueShapesShareAsTheirSharpOriginals) {
  const struct {
    const char* shape;
    std::vector<double> dimensions;
  } shapes[] = {{"channel", {150, 60, 2}},  {"lipped-channel", {200, 75, 20, 2}},
                {"zed", {200, 70, 2}},      {"lipped-zed", {250, 70, 20, 2.5}},
                {"hat", {60, 80, 30, 1.5}}, {"angle", {80, 50, 3}}};
  for (const auto& s : shapes) {
    expectRoundedAgrees(s.shape, catalogueSection(s.shape, s.dimensions), kCompression, 20, 20000);
  }
}

TEST(ModalSharesTest, RoundedWebStiffenedChannelInBendingSharesAsTheSharpOne) {
  expectRoundedAgrees("web-stiffened channel", webStiffenedChannel(), StressField{1, 0, -0.2}, 1,
                      300);
}

// The design guide's lipped channel with web stiffeners, bent about its
// major axis: the second minimum is the web stiffeners' distortional mode,
// the third the flanges', which design uses.
TEST(ModalSharesTest, WebStiffenedChannelInBendingHasLocalAndTwoDistortionalMinima) {
  const StripModel model = modelOf(webStiffenedChannel());
  const StressField bending{1, 0, -0.2};  // compression 1 at the top, -1 at the bottom
  const std::vector<CurveMinimum> minima = minimaOf(model, bending, 1, 300);
  ASSERT_EQ(minima.size(), 3u);
  const double near[] = {2.5, 10.5, 30.7};
  const ModeName names[] = {ModeName::local, ModeName::distortional, ModeName::distortional};
  for (int i = 0; i < 3; ++i) {
    EXPECT_NEAR(std::log(minima[i].length / near[i]), 0, std::log(1.15)) << minima[i].length;
    const ModeShares shares = sharesAt(model, bending, minima[i].length);
    EXPECT_EQ(nameOf(shares), names[i]) << minima[i].length;
  }
  EXPECT_GT(minima[1].lambda, 1.3 * minima[2].lambda);
  // The two distortional minima are different modes.
  const DenseMode second = lowestMode(model, bending, minima[1].length);
  const DenseMode third = lowestMode(model, bending, minima[2].length);
  EXPECT_LT(deformationLikeness(model, second.vector, model, third.vector), kAlikeDeformation);
}

}  // namespace
