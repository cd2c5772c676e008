#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "rounding/corner_rounding.h"
#include "rounding/thickness.h"
#include "section/cross_section.h"
#include "tests/unit/test_sections.h"
#include "unit/section_equality.h"

namespace {

const double kPi = 3.14159265358979323846;

struct Point {
  double y;
  double z;
};

std::vector<int> ones(const CrossSection& section) {
  return std::vector<int>(static_cast<std::size_t>(section.ns), 1);
}

Point node(const CrossSection& section, int index) {
  return {section.nodeY[index], section.nodeZ[index]};
}

double distance(Point a, Point b) { return std::hypot(a.y - b.y, a.z - b.z); }

// Direction of travel along a plate of angle alpha (degrees).
Point travel(double alpha) { return {-std::cos(alpha * kPi / 180), -std::sin(alpha * kPi / 180)}; }

void expectNear(Point actual, Point expected, double tolerance = 1e-9) {
  EXPECT_NEAR(actual.y, expected.y, tolerance);
  EXPECT_NEAR(actual.z, expected.z, tolerance);
}

TEST(RoundCornersTest, RightAngleConvex) {
  CrossSection section = chain({10, 10}, {0, 90});
  const RoundingReport report = roundCorners(section, 2, 4, true, ones(section));
  ASSERT_TRUE(report.accepted.ok());
  EXPECT_TRUE(report.misfitCorners.empty());
  ASSERT_EQ(section.ns, 6);
  ASSERT_EQ(section.nk, 7);
  const double chord = 0.78036128806451;  // 2 R sin(11.25 degrees), R = 2
  const double widths[] = {8, chord, chord, chord, chord, 8};
  const double angles[] = {0, 11.25, 33.75, 56.25, 78.75, 90};
  for (int k = 0; k < 6; ++k) {
    EXPECT_NEAR(section.b_r[k], widths[k], 1e-12);
    EXPECT_NEAR(section.alpha_r[k], angles[k], 1e-12);
  }
  expectNear(node(section, 0), {0, 0});
  expectNear(node(section, 1), {-8, 0});
  for (int i = 2; i <= 4; ++i) EXPECT_NEAR(distance(node(section, i), {-8, -2}), 2, 1e-9);
  expectNear(node(section, 5), {-10, -2});
  expectNear(node(section, 6), {-10, -10});
  EXPECT_EQ(section.nk1, 2);
  EXPECT_EQ(section.nk2, 5);
  EXPECT_EQ(section.nk3, 0);
  EXPECT_EQ(section.startNode, (IntList{1, 2, 3, 4, 5, 6}));
  EXPECT_EQ(section.endNode, (IntList{2, 3, 4, 5, 6, 7}));
  EXPECT_EQ(section.nodePlateCount, (IntList{1, 2, 2, 2, 2, 2, 1}));
  EXPECT_EQ(section.edgeSupportNode, (IntList{1, 7}));
  EXPECT_EQ(section.edgeSupportCode, (IntList{0, 0}));
  EXPECT_EQ(section.edgeSupportValue, (RealList{0, 0}));
}

TEST(RoundCornersTest, RightAngleConcaveIsAQuarterCircleAboutTheOldCorner) {
  CrossSection section = chain({10, 10}, {0, 90});
  ASSERT_TRUE(roundCorners(section, 2, 4, false, ones(section)).accepted.ok());
  const double angles[] = {0, 78.75, 56.25, 33.75, 11.25, 90};
  for (int k = 0; k < 6; ++k) EXPECT_NEAR(section.alpha_r[k], angles[k], 1e-12);
  for (int i = 1; i <= 5; ++i) EXPECT_NEAR(distance(node(section, i), {-10, 0}), 2, 1e-9);
  expectNear(node(section, 6), {-10, -10});
}

TEST(RoundCornersTest, ChannelWithDivisionNumbers) {
  CrossSection section = chain({50, 100, 50}, {0, 90, 180});
  ASSERT_TRUE(roundCorners(section, 5, 4, true, {2, 4, 2}).accepted.ok());
  ASSERT_EQ(section.ns, 16);
  ASSERT_EQ(section.nk, 17);
  const int straight[] = {0, 1, 6, 7, 8, 9, 14, 15};
  for (int k : straight) EXPECT_NEAR(section.b_r[k], 22.5, 1e-12) << k;
  const double arcAngles[] = {11.25, 33.75, 56.25, 78.75, 101.25, 123.75, 146.25, 168.75};
  for (int a = 0; a < 8; ++a) {
    const int k = a < 4 ? 2 + a : 10 + (a - 4);
    EXPECT_NEAR(section.alpha_r[k], arcAngles[a], 1e-12) << k;
    EXPECT_NEAR(section.b_r[k], 1.95090322016128, 1e-12) << k;  // 2 R sin(11.25 degrees), R = 5
  }
}

TEST(RoundCornersTest, PiecesKeepTheirThicknessAndArcPlatesTakeTheThinner) {
  CrossSection section = chain({50, 100, 50}, {0, 90, 180});
  section.t_r = {2, 3, 1.5};
  ASSERT_TRUE(roundCorners(section, 5, 2, true, {2, 1, 1}).accepted.ok());
  // Flange in two pieces, two arc plates, web, two arc plates, flange.
  EXPECT_EQ(section.t_r, (RealList{2, 2, 2, 2, 3, 1.5, 1.5, 1.5}));
  EXPECT_NEAR(section.K_r[4], 51923.08, 0.01);  // 3^3 x 21000 / 10.92
  EXPECT_NEAR(section.K_r[7], 6490.38, 0.01);   // 1.5^3 x 21000 / 10.92
}

TEST(RoundCornersTest, StraightChainIsOnlySplit) {
  CrossSection section = chain({9, 4}, {30, 30.005});
  section.nodeY[0] = 100;  // the loaded chain may start anywhere
  ASSERT_TRUE(roundCorners(section, 2, 4, true, {3, 1}).accepted.ok());
  EXPECT_EQ(section.b_r, (RealList{3, 3, 3, 4}));
  EXPECT_EQ(section.alpha_r, (RealList{30, 30, 30, 30.005}));
  expectNear(node(section, 0), {0, 0});
}

TEST(RoundCornersTest, SinglePlateIsRebuiltFromTheOrigin) {
  CrossSection section = chain({12}, {-90});
  section.nodeY = {5, 5};
  ASSERT_TRUE(roundCorners(section, 3, 4, true, {2}).accepted.ok());
  EXPECT_EQ(section.b_r, (RealList{6, 6}));
  expectNear(node(section, 2), {0, 12});
}

bool cornerAt(const CrossSection& section, int node) {
  return isCorner(section, node, platesAtEveryNode(section)[static_cast<std::size_t>(node)]);
}

TEST(RoundCornersTest, CornerThresholdIsStrictlyAboveAHundredthDegree) {
  CrossSection atThreshold = chain({10, 10}, {0, 0.01});
  EXPECT_FALSE(cornerAt(atThreshold, 1));
  roundCorners(atThreshold, 2, 4, true, ones(atThreshold));
  EXPECT_EQ(atThreshold.ns, 2);
  CrossSection above = chain({10, 10}, {0, 0.0101});
  EXPECT_TRUE(cornerAt(above, 1));
  EXPECT_FALSE(cornerAt(above, 0));  // an end node joins one plate
}

TEST(RoundCornersTest, TurnsAreTakenTheShortWayRound) {
  // 170 to -170 is a turn of -20 degrees, not of 340.
  CrossSection section = chain({10, 10}, {170, -170});
  const CornerArc arc = computeCornerArc(section, 2, 4, platesAtEveryNode(section)[1]);
  EXPECT_NEAR(arc.angleStep, -5, 1e-12);
  EXPECT_NEAR(arc.tangentLength, 2 * std::tan(10 * kPi / 180), 1e-12);
  ASSERT_TRUE(roundCorners(section, 2, 4, true, ones(section)).misfitCorners.empty());
  const double angles[] = {170, 172.5, 177.5, 182.5, 187.5, -170};
  for (int k = 0; k < 6; ++k) EXPECT_NEAR(section.alpha_r[k], angles[k], 1e-12);

  // Plates that differ by a multiple of 360 degrees continue straight on.
  CrossSection straight = chain({10, 10, 10}, {180, -180, 540});
  EXPECT_FALSE(cornerAt(straight, 1));
  EXPECT_FALSE(cornerAt(straight, 2));
  ASSERT_TRUE(roundCorners(straight, 2, 4, true, ones(straight)).accepted.ok());
  EXPECT_EQ(straight.ns, 3);

  // A plate folded back on itself never leaves room for an arc.
  CrossSection folded = chain({10, 10}, {0, 180});
  EXPECT_FALSE(computeCornerArc(folded, 0.001, 4, platesAtEveryNode(folded)[1]).fits);
  EXPECT_EQ(roundCorners(folded, 0.001, 4, true, ones(folded)).misfitCorners,
            (std::vector<int>{2}));
}

TEST(RoundCornersTest, NeighbouringCornersShareTheirPlate) {
  CrossSection fits = chain({10, 3, 10}, {0, 90, 180});
  ASSERT_TRUE(roundCorners(fits, 1, 2, true, ones(fits)).misfitCorners.empty());
  EXPECT_NEAR(fits.b_r[3], 1, 1e-12);  // 3 less one tangent length at each end

  // The second corner tests the middle plate's width after the first took
  // its tangent length: 0.9 * 1.4 < 1.6, so the radius does not fit there
  // and the section stays as it was.
  CrossSection tight = chain({10, 3, 10}, {0, 90, 180});
  const CrossSection before = tight;
  const RoundingReport report = roundCorners(tight, 1.6, 2, true, ones(tight));
  EXPECT_TRUE(report.accepted.ok());
  EXPECT_EQ(report.misfitCorners, (std::vector<int>{3}));
  EXPECT_TRUE(sameFileContents(before, tight));
}

TEST(RoundCornersTest, OtherTypesAndUnwritableArcPlatesAreRefusedUnchanged) {
  CrossSection section = chain({10, 10}, {0, 90});
  section.Typ = 6;
  const CrossSection before = section;
  RoundingReport report = roundCorners(section, 2, 4, true, {3, 3});
  EXPECT_EQ(report.accepted.reason(),
            "it is a section of type 6; only type 1 sections are rounded");
  EXPECT_TRUE(sameFileContents(before, section));

  // Arc plates below the six digits that a file holds at the section's size
  // (2e-5 of 10 here) would put two nodes of the file at one point.
  section.Typ = 1;
  const CrossSection plain = section;
  report = roundCorners(section, 1e-320, 4, true, {1, 1});
  EXPECT_EQ(report.accepted.reason(),
            "its arc plates would be 3.90312e-321 wide, narrower than the 0.0002 that a file's "
            "six digits hold at this section's size");
  EXPECT_TRUE(sameFileContents(plain, section));
  // Plates of 0.0002 are made: each of the two arc plates spans 45 degrees.
  const double smallest = 0.0002 / (2 * std::sin(kPi / 8));
  for (const double radius : {smallest * 0.999, smallest * 1.001}) {
    CrossSection copy = plain;
    EXPECT_EQ(roundCorners(copy, radius, 2, true, {1, 1}).accepted.ok(), radius > smallest);
  }
  // Without arc plates the radius makes none.
  EXPECT_TRUE(roundCorners(section, 1e-320, 0, true, {1, 1}).accepted.ok());
}

// Geometric properties of rounded sections: every arc node on the fillet
// circle, tangent points on the original plates, straight plates keeping
// their directions, and the chain's end where it was.
void expectRoundedGeometry(const std::vector<double>& widths, const std::vector<double>& angles,
                           double radius, int n, bool convex) {
  SCOPED_TRACE(::testing::Message() << "R " << radius << " n " << n << " convex " << convex);
  const CrossSection original = chain(widths, angles);
  CrossSection rounded = original;
  const RoundingReport report = roundCorners(rounded, radius, n, convex, ones(original));
  ASSERT_TRUE(report.accepted.ok());
  ASSERT_TRUE(report.misfitCorners.empty());
  ASSERT_EQ(rounded.ns, original.ns + n * (original.ns - 1));

  const double scale = radius;
  int k = 0;  // plate index in the rounded section
  for (int plate = 0; plate + 1 < original.ns; ++plate) {
    EXPECT_NEAR(rounded.alpha_r[k], original.alpha_r[plate], 1e-12);
    const int corner = plate + 1;  // node index of the corner
    const Point c = node(original, corner);
    const Point in = travel(original.alpha_r[plate]);
    const Point out = travel(original.alpha_r[plate + 1]);
    const double turn = shortTurn(original.alpha_r[plate], original.alpha_r[plate + 1]);
    const double t = std::fabs(radius * std::tan(turn / 2 * kPi / 180));
    const Point a{c.y - t * in.y, c.z - t * in.z};
    const Point b{c.y + t * out.y, c.z + t * out.z};
    expectNear(node(rounded, k + 1), a, 1e-9 * scale * 100);
    expectNear(node(rounded, k + 1 + n), b, 1e-9 * scale * 100);
    // Fillet centre: distance R from both plate lines, on the inner side.
    Point centre{a.y - radius * in.z, a.z + radius * in.y};
    if (std::fabs(distance(centre, b) - radius) > 1e-6 * radius) {
      centre = {a.y + radius * in.z, a.z - radius * in.y};
    }
    ASSERT_NEAR(distance(centre, b), radius, 1e-6 * radius);
    if (!convex) centre = {a.y + b.y - centre.y, a.z + b.z - centre.z};
    for (int i = 1; i <= n + 1; ++i) {
      EXPECT_NEAR(distance(node(rounded, k + i), centre), radius, 1e-9 * radius)
          << "arc node " << i;
    }
    double arcTurn = 0;
    for (int i = 0; i <= n; ++i) arcTurn += rounded.alpha_r[k + i] - rounded.alpha_r[k + i + 1];
    EXPECT_NEAR(shortTurn(arcTurn, 0), turn, 1e-9);
    k += 1 + n;
  }
  EXPECT_NEAR(rounded.alpha_r[k], original.alpha_r.back(), 1e-12);
  const double span = 300;
  expectNear(node(rounded, rounded.nk - 1), node(original, original.nk - 1), 1e-9 * span);
}

// The examples' angles, the same sections written with every angle in
// (-180, 180], and the same again with angles 360 degrees away.
const std::vector<std::pair<std::vector<double>, std::vector<double>>>& gridSections() {
  static const std::vector<std::pair<std::vector<double>, std::vector<double>>> sections{
      {{20, 75, 200, 75, 20}, {90, 0, -90, -180, -270}},  // lipped channel
      {{20, 75, 200, 75, 20}, {90, 0, -90, 180, 90}},
      {{20, 75, 200, 75, 20}, {-270, 360, 270, -180, 450}},
      {{18, 70, 200, 70, 18}, {-45, 0, 90, 0, -45}},  // Z with lips
      {{18, 70, 200, 70, 18}, {315, -360, -270, 720, 315}},
      {{40, 60, 100, 60, 40}, {0, 90, 180, -90, 0}},  // hat
      {{40, 60, 100, 60, 40}, {360, -270, -180, 270, 0}},
  };
  return sections;
}

TEST(RoundCornersTest, EveryWrittenArcLiesOnItsFilletCircle) {
  for (const auto& [widths, angles] : gridSections()) {
    for (double radius : {1.0, 3.0, 8.0}) {
      for (int n : {1, 4, 9}) {
        for (bool convex : {true, false}) expectRoundedGeometry(widths, angles, radius, n, convex);
      }
    }
  }
}

TEST(RoundCornersTest, EquivalentAnglesGiveTheSameNodes) {
  const auto& sections = gridSections();
  const std::pair<std::size_t, std::size_t> equivalent[] = {{0, 1}, {0, 2}, {3, 4}, {5, 6}};
  for (const auto& [first, second] : equivalent) {
    for (bool convex : {true, false}) {
      CrossSection a = chain(sections[first].first, sections[first].second);
      CrossSection b = chain(sections[second].first, sections[second].second);
      ASSERT_TRUE(roundCorners(a, 5, 4, convex, ones(a)).misfitCorners.empty());
      ASSERT_TRUE(roundCorners(b, 5, 4, convex, ones(b)).misfitCorners.empty());
      ASSERT_EQ(a.nk, b.nk);
      for (int i = 0; i < a.nk; ++i) expectNear(node(a, i), node(b, i), 1e-9 * 200);
    }
  }
}

TEST(RoundCornersTest, RadiusThatDoesNotFitLeavesTheSectionUnchanged) {
  // A hat at R = 50 (every tangent length 50): node 2 fails (0.9 * 40), so
  // node 3 sees its plates whole and fits (0.9 * 60), which leaves 50 of the
  // top for node 4 (0.9 * 50 fails); node 5 fails on 0.9 * 40. Nothing is
  // half rounded.
  CrossSection hat = chain({40, 60, 100, 60, 40}, {0, 90, 180, -90, 0});
  const CrossSection before = hat;
  EXPECT_EQ(roundCorners(hat, 50, 4, true, ones(hat)).misfitCorners, (std::vector<int>{2, 4, 5}));
  EXPECT_TRUE(sameFileContents(before, hat));
}

TEST(RoundCornersTest, RadiusTooLargeForTheFirstCornerIsNamed) {
  CrossSection section = chain({5, 75, 200, 75}, {90, 0, -90, -180});
  const RoundingReport report = roundCorners(section, 10, 4, true, ones(section));
  EXPECT_EQ(report.misfitCorners, (std::vector<int>{2}));
  EXPECT_EQ(section.ns, 4);
}

TEST(RoundCornersTest, NoArcPlatesOrRadiusZeroOnlySubdivides) {
  for (const auto& [radius, n] : {std::pair<double, int>{2, 0}, {2, -3}, {0, 4}}) {
    CrossSection section = chain({10, 10}, {0, 90});
    ASSERT_TRUE(roundCorners(section, radius, n, true, {2, 1}).accepted.ok());
    EXPECT_EQ(section.b_r, (RealList{5, 5, 10}));
    EXPECT_EQ(section.alpha_r, (RealList{0, 0, 90}));
  }
}

TEST(RoundCornersTest, NegativeRadiusRoundsLikeItsMagnitude) {
  CrossSection negative = chain({10, 10}, {0, 90});
  CrossSection positive = negative;
  roundCorners(negative, -2, 4, true, {1, 1});
  roundCorners(positive, 2, 4, true, {1, 1});
  EXPECT_TRUE(sameFileContents(negative, positive));
}

TEST(RoundCornersTest, DivisionNumbersBelowOneCountAsOne) {
  CrossSection section = chain({10, 10, 10}, {0, 0, 0});
  roundCorners(section, 2, 4, true, {0, -5, 2});
  EXPECT_EQ(section.b_r, (RealList{10, 10, 5, 5}));
}

TEST(RoundCornersTest, SectionsThatAreNoPlainChainAreRefusedUnchanged) {
  CrossSection misnumbered = chain({10, 10, 10}, {0, 90, 180});
  misnumbered.startNode[2] = 5;
  misnumbered.endNode[2] = 2;
  const CrossSection before = misnumbered;
  const RoundingReport report = roundCorners(misnumbered, 2, 4, true, ones(misnumbered));
  EXPECT_EQ(report.accepted.reason(),
            "plate 3 runs from node 5 to node 2; the chain must be numbered along its plates");
  EXPECT_TRUE(sameFileContents(before, misnumbered));

  // A branch: a fourth plate leaves node 2.
  CrossSection branched = chain({10, 10, 10}, {0, 90, 180});
  branched.ns = 4;
  branched.nk = 5;
  branched.startNode.push_back(2);
  branched.endNode.push_back(5);
  branched.nodePlateCount = {1, 3, 2, 1, 1};
  for (RealList* list : {&branched.b_r, &branched.t_r, &branched.alpha_r, &branched.K_r}) {
    list->push_back(5);
  }
  branched.nodeY.push_back(0);
  branched.nodeZ.push_back(0);
  EXPECT_FALSE(roundCorners(branched, 2, 4, true, {1, 1, 1, 1}).accepted.ok());

  CrossSection closed = chain({10, 10, 10}, {0, 90, 180});
  closed.nk = 3;
  EXPECT_EQ(checkChain(closed).reason(),
            "it has 3 plates and 3 nodes; an open chain has one node more than plates");
  CrossSection wrongEnd = chain({10, 10}, {0, 90});
  wrongEnd.nodePlateCount[2] = 2;
  EXPECT_EQ(checkChain(wrongEnd).reason(), "node 3 joins 2 plates; an open chain joins 1 there");
  CrossSection empty;
  EXPECT_EQ(checkChain(empty).reason(), "the section has no plates");
  CrossSection shortList = chain({10, 10}, {0, 90});
  shortList.K_r.pop_back();
  EXPECT_FALSE(checkChain(shortList).ok());
  EXPECT_EQ(roundCorners(shortList, 2, 4, true, {1}).accepted.reason(),
            "its plate lists do not hold ns = 2 entries");
}

TEST(RoundCornersTest, TheLimitCountsThePlatesThatAreMade) {
  CrossSection section = chain({10, 10}, {0, 90});
  const RoundingReport report = roundCorners(section, 2, 2000000000, true, {1, 1});
  EXPECT_EQ(report.accepted.reason(),
            "the result would have 2000000002 plates; at most 20000000 are made");
  EXPECT_EQ(section.ns, 2);

  // Far below the limit: a lipped channel subdivided to 300,000 plates, and
  // one with 6,000 arc plates of R = 16 at each of its 4 corners (about the
  // most whose width a file's six digits hold), 24,005 plates.
  CrossSection lipped = chain({20, 75, 200, 75, 20}, {90, 0, -90, 180, 90});
  ASSERT_TRUE(roundCorners(lipped, 0, 0, true, std::vector<int>(5, 60000)).accepted.ok());
  EXPECT_EQ(lipped.ns, 300000);
  CrossSection arcs = chain({20, 75, 200, 75, 20}, {90, 0, -90, 180, 90});
  const RoundingReport big = roundCorners(arcs, 16, 6000, true, ones(arcs));
  ASSERT_TRUE(big.accepted.ok()) << big.accepted.reason();
  EXPECT_TRUE(big.misfitCorners.empty());
  EXPECT_EQ(arcs.ns, 24005);
}

TEST(RoundCornersTest, PlatesAtANodeTakeTheLaterMatch) {
  CrossSection section = chain({1, 1, 1}, {0, 0, 0});
  section.startNode[2] = 2;  // plates 2 and 3 both start at node 2
  section.endNode[1] = 9;    // a node the section does not have
  const std::vector<NodePlates> plates = platesAtEveryNode(section);
  ASSERT_EQ(plates.size(), 4u);
  EXPECT_EQ(plates[1].outgoing, 2);
  EXPECT_EQ(plates[1].incoming, 0);
  EXPECT_EQ(plates[2].incoming, -1);
}

TEST(ThicknessTest, EveryPlateGetsThicknessAndStiffness) {
  CrossSection section = chain({1, 1, 1}, {0, 0, 0});
  section.t_r = {1};
  ASSERT_TRUE(setThickness(section, 2).ok());
  EXPECT_EQ(section.t_r, (RealList{2, 2, 2}));
  ASSERT_EQ(section.K_r.size(), 3u);
  EXPECT_NEAR(section.K_r[0], 15384.615, 1e-3);  // 2^3 21000 / 10.92
}

TEST(ThicknessTest, NoFiniteStiffnessIsRefused) {
  CrossSection section = chain({1, 1}, {0, 0});
  section.MUE = 1;
  EXPECT_EQ(setThickness(section, 2).reason(),
            "thickness 2 with E = 21000 and MUE = 1 gives no finite plate stiffness");
  EXPECT_EQ(section.t_r, (RealList{2, 2}));  // unchanged
  section.MUE = 0.3;
  EXPECT_FALSE(setThickness(section, 1e200).ok());
}

}  // namespace
