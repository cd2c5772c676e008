// The loads and their signs: which side each bending case compresses on an
// unsymmetric section, principal against restrained bending, actions as
// the superposition of their stresses, and the factors that turn lambda
// into critical values.
#include "strip/load_cases.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "tests/unit/strip_helpers.h"

namespace {

double stressAt(const LoadStress& load, const StripNode& node) {
  return load.stress.at(node.y, node.z);
}

LoadStress stressOf(const CrossSection& section, const StripModel& model, const char* name) {
  LoadStress load;
  const Result r = loadStress(computeProperties(section), model, *parseLoadCase(name), load);
  EXPECT_TRUE(r.ok()) << name << ": " << r.reason();
  return load;
}

TEST(LoadCasesTest, NamesReadBack) {
  for (const char* name : {"compression", "M1", "-M1", "M2", "-M2", "My", "-My", "Mz", "-Mz"}) {
    ASSERT_TRUE(parseLoadCase(name)) << name;
    EXPECT_EQ(loadCaseName(*parseLoadCase(name)), name);
  }
  EXPECT_FALSE(parseLoadCase("-compression"));
  EXPECT_FALSE(parseLoadCase("M3"));
}

TEST(LoadCasesTest, EachBendingCaseCompressesTheFarthestSide) {
  // An angle of unequal legs: no axis of symmetry, every distance different.
  const CrossSection angle = catalogueSection("angle", {100, 60, 4});
  const StripModel model = modelOf(angle);
  const SectionProperties p = computeProperties(angle);
  const double angle1 = radians(p.principalAngle);
  const struct {
    const char* name;
    double dy, dz;  // the direction along which the distance from the axis is measured
    double I;
  } cases[] = {{"M1", -std::sin(angle1), std::cos(angle1), p.I1},
               {"M2", std::cos(angle1), std::sin(angle1), p.I2},
               {"My", 0, 1, p.Iy},
               {"Mz", 1, 0, p.Iz}};
  for (const auto& c : cases) {
    double above = 0, below = 0;
    for (const StripNode& n : model.nodes) {
      const double d = (n.y - p.yc) * c.dy + (n.z - p.zc) * c.dz;
      above = std::max(above, d), below = std::max(below, -d);
    }
    const double far = std::max(above, below), sign = above >= below ? 1 : -1;
    const LoadStress load = stressOf(angle, model, c.name);
    const LoadStress reversed = stressOf(angle, model, (std::string("-") + c.name).c_str());
    EXPECT_NEAR(load.c, far, 1e-12 * far) << c.name;
    EXPECT_NEAR(load.values[1].factor, c.I / far, 1e-9 * c.I / far) << c.name;
    for (const StripNode& n : model.nodes) {
      const double d = (n.y - p.yc) * c.dy + (n.z - p.zc) * c.dz;
      EXPECT_NEAR(stressAt(load, n), sign * d / far, 1e-12) << c.name;
      EXPECT_NEAR(stressAt(reversed, n), -sign * d / far, 1e-12) << c.name;
      EXPECT_LE(stressAt(load, n), 1 + 1e-12) << c.name;  // 1 in compression at the farthest
    }
  }
}

TEST(LoadCasesTest, SidesAsFarCompressThePositiveOtherAxis) {
  // The lipped channel is symmetric about its horizontal axis through the
  // centroid: both flanges are as far from axis 1, and M1 compresses the
  // flange on the side of positive axis 2 (z); My the same.
  const CrossSection lipped = catalogueSection("lipped-channel", {200, 75, 20, 2});
  const StripModel model = modelOf(lipped);
  const SectionProperties p = computeProperties(lipped);
  ASSERT_EQ(p.principalAngle, 0);
  for (const char* name : {"M1", "My"}) {
    const LoadStress load = stressOf(lipped, model, name);
    for (const StripNode& n : model.nodes) {
      EXPECT_NEAR(stressAt(load, n), (n.z - p.zc) / load.c, 1e-12) << name;
    }
  }
}

TEST(LoadCasesTest, PrincipalAndRestrainedBendingAgreeOnlyWhereTheAxesDo) {
  // Axis 1 of a lipped channel is its y axis: M1 is My.
  const CrossSection lipped = catalogueSection("lipped-channel", {200, 75, 20, 2});
  const StripModel lippedModel = modelOf(lipped);
  const LoadStress m1 = stressOf(lipped, lippedModel, "M1");
  const LoadStress my = stressOf(lipped, lippedModel, "My");
  EXPECT_NEAR(lambdaAt(lippedModel, m1.stress, 600) / lambdaAt(lippedModel, my.stress, 600), 1,
              1e-9);
  // A zed's principal axes are inclined: bending about axis 1 is not
  // bending about y, in its stress nor in its lambda.
  const CrossSection zed = catalogueSection("zed", {200, 75, 2});
  const StripModel zedModel = modelOf(zed);
  ASSERT_GT(std::fabs(computeProperties(zed).principalAngle), 5);
  const LoadStress zm1 = stressOf(zed, zedModel, "M1");
  const LoadStress zmy = stressOf(zed, zedModel, "My");
  EXPECT_GT(std::fabs(zm1.stress.perY - zmy.stress.perY), 1e-3 * std::fabs(zmy.stress.perZ));
  EXPECT_GT(
      std::fabs(lambdaAt(zedModel, zm1.stress, 2000) / lambdaAt(zedModel, zmy.stress, 2000) - 1),
      0.01);
}

TEST(LoadCasesTest, ActionsAreTheSuperpositionOfTheirStresses) {
  const CrossSection zed = catalogueSection("zed", {200, 75, 2});
  const StripModel model = modelOf(zed);
  const SectionProperties p = computeProperties(zed);
  // N = 1 alone: lambda is N_cr, the compression case's P_cr.
  Actions n;
  n.N = 1;
  const LoadStress axial = actionsStress(p, n);
  const LoadStress compression = stressOf(zed, model, "compression");
  ASSERT_EQ(axial.values.size(), 1u);
  EXPECT_EQ(axial.values[0].symbol, "N");
  EXPECT_NEAR(lambdaAt(model, axial.stress, 300) * axial.values[0].factor,
              lambdaAt(model, compression.stress, 300) * compression.values[1].factor,
              1e-8 * p.area);
  // N, M1 and Mz together: N / A plus each moment over its second moment
  // times the distance from its axis, a positive M1 compressing the side
  // of positive axis 2, a positive Mz that of positive y.
  Actions both;
  both.N = 1;
  both.M1 = 250;
  both.Mz = -40;
  const LoadStress together = actionsStress(p, both);
  const double c = std::cos(radians(p.principalAngle)), s = std::sin(radians(p.principalAngle));
  for (const StripNode& node : model.nodes) {
    const double v = -(node.y - p.yc) * s + (node.z - p.zc) * c;
    const double expected = 1 / p.area + 250 * v / p.I1 - 40 * (node.y - p.yc) / p.Iz;
    EXPECT_NEAR(stressAt(together, node), expected, 1e-12 * std::fabs(expected) + 1e-15);
  }
  // The same side as the load case M1, whose stress is 1 at c.
  const LoadStress m1 = stressOf(zed, model, "M1");
  Actions bending;
  bending.M1 = m1.values[1].factor;  // I1 / c: a stress of 1 at c
  const LoadStress alone = actionsStress(p, bending);
  for (const StripNode& node : model.nodes) {
    EXPECT_NEAR(std::fabs(stressAt(alone, node)), std::fabs(stressAt(m1, node)), 1e-12);
  }
  ASSERT_EQ(together.values.size(), 3u);
  EXPECT_EQ(together.values[1].symbol, "M1");
  EXPECT_EQ(together.values[1].factor, 250);
  EXPECT_EQ(together.values[2].factor, -40);
}

TEST(LoadCasesTest, BendingThatLeavesTheCentreLineUnstressedIsRefused) {
  // A flat plate bent about its weak axis, its nodes off the axis by the
  // rounding of its coordinates only.
  CrossSection plate = chain({100}, {0});
  plate.nodeZ[0] = 6e-15;
  const StripModel model = modelOf(plate);
  LoadStress load;
  EXPECT_EQ(loadStress(computeProperties(plate), model, *parseLoadCase("M2"), load).reason(),
            "M2 puts no stress on the centre line: every node lies on axis 2");
  EXPECT_TRUE(loadStress(computeProperties(plate), model, *parseLoadCase("M1"), load).ok());
}

TEST(LoadCasesTest, EqualSecondMomentsKeepTheSectionsOwnAxes) {
  // A square tube turned by 30 degrees: I_1 = I_2 up to rounding, and no
  // axis the rounding picks.
  std::vector<Line> lines;
  const double c = std::cos(radians(30)), s = std::sin(radians(30));
  const double corners[5][2] = {{0, 0}, {100, 0}, {100, 100}, {0, 100}, {0, 0}};
  for (int k = 0; k < 4; ++k) {
    const double* a = corners[k];
    const double* b = corners[k + 1];
    lines.push_back(
        {c * a[0] - s * a[1], s * a[0] + c * a[1], c * b[0] - s * b[1], s * b[0] + c * b[1]});
  }
  const SectionProperties p = computeProperties(fromLines(lines, 2));
  EXPECT_NEAR(p.I1 / p.I2, 1, 1e-9);
  EXPECT_EQ(p.principalAngle, 0);
}

// The elastic section modulus by hand: the extreme fibre is the centre
// line's end offset by t/2 along the plate's normal, on the farther side.
TEST(LoadCasesTest, SectionModulusReachesTheFarthestFibreOfThePlates) {
  const double t = 2;
  const std::vector<Line> channelLines = {{75, 0, 0, 0}, {0, 0, 0, 200}, {0, 200, 75, 200}};
  const CrossSection channel = fromLines(channelLines, t);
  const SectionProperties p = computeProperties(channel);
  // About axis 1 (horizontal): the flanges' outer faces, 100 + t/2 away.
  const double flanges = 2 * (75 * t * 100 * 100 + 75 * t * t * t / 12);
  const double I1 = t * 200 * 200 * 200 / 12 + flanges;
  SectionModulus m = sectionModulus(channel, p, LoadKind::kM1);
  EXPECT_NEAR(m.extremeFibre, 100 + t / 2, 1e-9);
  EXPECT_NEAR(m.modulus, I1 / (100 + t / 2), 1e-9 * m.modulus);
  // About axis 2 (vertical): the flange tips (75 - y_c) lie farther than the
  // web's outer face (y_c + t/2).
  const double yc = 2 * 75 * t * 37.5 / (200 * t + 2 * 75 * t);
  const double I2 = 200 * t * yc * yc + 200 * t * t * t / 12 +
                    2 * (t * 75 * 75 * 75 / 12 + 75 * t * (37.5 - yc) * (37.5 - yc));
  m = sectionModulus(channel, p, LoadKind::kM2);
  EXPECT_NEAR(m.extremeFibre, 75 - yc, 1e-9);
  EXPECT_NEAR(m.modulus, I2 / (75 - yc), 1e-9 * m.modulus);
  EXPECT_NEAR(sectionModulus(channel, p, LoadKind::kMy).modulus, I1 / (100 + t / 2), 1e-6);

  // A lipped channel: the lips' outer faces, t/2 beyond the flange tips, are
  // the extreme fibre about axis 2.
  std::vector<Line> lipped = channelLines;
  lipped.insert(lipped.begin(), Line{75, 20, 75, 0});
  lipped.push_back({75, 200, 75, 180});
  const CrossSection lc = fromLines(lipped, t);
  const SectionProperties q = computeProperties(lc);
  const double lcYc = (2 * 75 * t * 37.5 + 2 * 20 * t * 75) / (200 * t + 2 * 75 * t + 2 * 20 * t);
  EXPECT_NEAR(q.yc, lcYc, 1e-9);
  EXPECT_NEAR(sectionModulus(lc, q, LoadKind::kM2).extremeFibre, 75 + t / 2 - lcYc, 1e-9);
  EXPECT_NEAR(sectionModulus(lc, q, LoadKind::kMz).extremeFibre, 75 + t / 2 - lcYc, 1e-9);
  EXPECT_NEAR(sectionModulus(lc, q, LoadKind::kM1).extremeFibre, 100 + t / 2, 1e-9);

  // A plate: b t^2 / 6 about its weak axis, whose centre line has no
  // distance from it, and b^2 t / 6 about its strong axis.
  const CrossSection plate = fromLines({{0, 0, 100, 0}}, 4);
  const SectionProperties r = computeProperties(plate);
  EXPECT_NEAR(sectionModulus(plate, r, LoadKind::kMy).modulus, 100 * 4 * 4 / 6.0, 1e-9);
  EXPECT_NEAR(sectionModulus(plate, r, LoadKind::kMy).extremeFibre, 2, 1e-12);
  EXPECT_NEAR(sectionModulus(plate, r, LoadKind::kMz).modulus, 100 * 100 * 4 / 6.0, 1e-9);
}

}  // namespace
