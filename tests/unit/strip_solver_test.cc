// The strip floor's own arithmetic against references: the longitudinal
// integrals against quadrature, the solver against a dense generalized
// eigen-solve for every load and end condition on an open, a branched and a
// closed section, its mode and its status when it cannot answer.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numeric>

#include "strip/load_cases.h"
#include "strip/longitudinal.h"
#include "tests/unit/strip_helpers.h"

namespace {

const EndConditions kAllEnds[] = {EndConditions::SS, EndConditions::CC, EndConditions::SC,
                                  EndConditions::CF, EndConditions::CG};

TEST(LongitudinalTest, IntegralsAgreeWithQuadrature) {
  const double a = 3.7;
  const int points = 20000;
  for (EndConditions ends : kAllEnds) {
    for (int m = 1; m <= 4; ++m) {
      for (int n = 1; n <= 4; ++n) {
        const TrigSum ym = longitudinalFunction(ends, m), yn = longitudinalFunction(ends, n);
        const TrigSum ym1 = derivative(ym, a), yn1 = derivative(yn, a);
        const TrigSum ym2 = derivative(ym1, a), yn2 = derivative(yn1, a);
        double sum[5] = {0, 0, 0, 0, 0};
        for (int i = 0; i < points; ++i) {  // the midpoint rule
          const double x = (i + 0.5) * a / points, w = a / points;
          sum[0] += w * evaluate(ym, x, a) * evaluate(yn, x, a);
          sum[1] += w * evaluate(ym2, x, a) * evaluate(yn, x, a);
          sum[2] += w * evaluate(ym, x, a) * evaluate(yn2, x, a);
          sum[3] += w * evaluate(ym2, x, a) * evaluate(yn2, x, a);
          sum[4] += w * evaluate(ym1, x, a) * evaluate(yn1, x, a);
        }
        const TermIntegrals i = termIntegrals(ends, m, n, a);
        const double exact[5] = {i.I1, i.I2, i.I3, i.I4, i.I5};
        for (int k = 0; k < 5; ++k) {
          EXPECT_NEAR(exact[k], sum[k], 1e-6 * (std::fabs(sum[k]) + 1))
              << endConditionsName(ends) << " m " << m << " n " << n << " I" << k + 1;
        }
      }
    }
  }
}

TEST(LongitudinalTest, FunctionsMeetTheirEndConditions) {
  const double a = 2;
  // Per end: whether the displacement and the slope are held at x = 0 and x = a.
  const struct {
    EndConditions ends;
    bool held[4];  // Y(0) = 0, Y'(0) = 0, Y(a) = 0, Y'(a) = 0
  } cases[] = {{EndConditions::SS, {true, false, true, false}},
               {EndConditions::CC, {true, true, true, true}},
               {EndConditions::SC, {true, false, true, true}},
               {EndConditions::CF, {true, true, false, false}},
               {EndConditions::CG, {true, true, false, true}}};
  for (const auto& c : cases) {
    for (int m = 1; m <= 5; ++m) {
      const TrigSum y = longitudinalFunction(c.ends, m), slope = derivative(y, a);
      const double values[4] = {evaluate(y, 0, a), evaluate(slope, 0, a), evaluate(y, a, a),
                                evaluate(slope, a, a)};
      for (int k = 0; k < 4; ++k) {
        EXPECT_EQ(std::fabs(values[k]) < 1e-12, c.held[k])
            << endConditionsName(c.ends) << " m " << m << " value " << k;
      }
    }
    EXPECT_EQ(parseEndConditions(endConditionsName(c.ends)), c.ends);
  }
  EXPECT_FALSE(parseEndConditions("S-F"));
}

TEST(LongitudinalTest, TermsCoupleAsTheirFrequenciesMeet) {
  const std::vector<int> six{1, 2, 3, 4, 5, 6};
  TermTable simple(EndConditions::SS), clamped(EndConditions::CC);
  EXPECT_EQ(uncoupledGroups(simple, six).size(), 6u);
  EXPECT_EQ(uncoupledGroups(clamped, six), (std::vector<std::vector<int>>{{1, 3, 5}, {2, 4, 6}}));
  for (EndConditions ends : {EndConditions::SC, EndConditions::CF, EndConditions::CG}) {
    TermTable table(ends);
    EXPECT_EQ(uncoupledGroups(table, six).size(), 1u) << endConditionsName(ends);
    // Scaled from a member of length 1: as computed on the member itself.
    const TermIntegrals scaled = table.integrals(2, 3, 7.5),
                        direct = termIntegrals(ends, 2, 3, 7.5);
    EXPECT_NEAR(scaled.I1, direct.I1, 1e-12 * std::fabs(direct.I1));
    EXPECT_NEAR(scaled.I2, direct.I2, 1e-12 * std::fabs(direct.I2));
    EXPECT_NEAR(scaled.I4, direct.I4, 1e-12 * std::fabs(direct.I4));
  }
  EXPECT_TRUE(termsCoupled(EndConditions::CC, 1, 3));
  EXPECT_FALSE(termsCoupled(EndConditions::CC, 1, 5));
  EXPECT_FALSE(termsCoupled(EndConditions::SC, 1, 3));
  EXPECT_TRUE(termsCoupled(EndConditions::CF, 1, 6));
}

// An I-section: two flanges and a web meeting at two branch nodes.
CrossSection branched() {
  return fromLines(
      {{-40, 0, 0, 0}, {0, 0, 40, 0}, {0, 0, 0, 120}, {-40, 120, 0, 120}, {0, 120, 40, 120}}, 3);
}

TEST(BucklingSolverTest, AgreesWithADenseSolveForEveryLoadAndEnd) {
  const struct {
    const char* name;
    CrossSection section;
  } sections[] = {{"open", catalogueSection("lipped-channel", {100, 50, 15, 1.5})},
                  {"branched", branched()},
                  {"closed", tube(90, 60, 2)}};
  const char* loads[] = {"compression", "M1", "-M2", "My", "-Mz"};
  for (const auto& s : sections) {
    const StripModel model = modelOf(s.section, 2);
    const SectionProperties p = computeProperties(s.section);
    const double D = modelSize(model);
    for (const char* name : loads) {
      LoadStress load;
      ASSERT_TRUE(loadStress(p, model, *parseLoadCase(name), load).ok());
      for (EndConditions ends : kAllEnds) {
        const StripSystem system(model, load.stress, ends);
        BucklingSolver solver(system);
        for (double a : {0.8 * D, 6 * D}) {
          const std::vector<int> terms{1, 2, 3};
          const BucklingSolution solution = solver.solve(a, terms);
          ASSERT_TRUE(solution.converged()) << solution.reason;
          EXPECT_NEAR(solution.lambda / denseLowestLambda(system, a, terms), 1, 1e-8)
              << s.name << " " << name << " " << endConditionsName(ends) << " a " << a;
        }
      }
    }
  }
}

TEST(BucklingSolverTest, ModeSolvesTheProblemInTheLayout) {
  const CrossSection section = catalogueSection("lipped-channel", {200, 75, 20, 2});
  const StripModel model = modelOf(section);
  const StripSystem system(model, StressField{1, 0, 0}, EndConditions::SC);
  BucklingSolver solver(system);
  const std::vector<int> terms{1, 2, 3, 4};
  const BucklingSolution s = solver.solve(600, terms);
  ASSERT_TRUE(s.converged()) << s.reason;
  const Eigen::Index size = 4 * static_cast<Eigen::Index>(model.nodes.size() * terms.size());
  ASSERT_EQ(s.mode.size(), size);
  // The largest displacement is 1; theta (every fourth) is not a displacement.
  double largest = 0;
  for (Eigen::Index i = 0; i < size; ++i) {
    if (i % 4 != 3) largest = std::max(largest, std::fabs(s.mode[i]));
  }
  EXPECT_NEAR(largest, 1, 1e-15);
  EXPECT_NEAR(std::accumulate(s.termShares.begin(), s.termShares.end(), 0.0), 1, 1e-12);
  // In the solved units (displacements / D) the mode solves K phi = lambda Kg phi.
  SparseMatrix K, Kg;
  system.assemble(600, terms, K, Kg);
  Eigen::VectorXd phi = s.mode;
  for (Eigen::Index i = 0; i < size; ++i) {
    if (i % 4 != 3) phi[i] /= system.lengthScale();
  }
  const Eigen::VectorXd Kphi = K * phi;
  const double lambda = s.lambda / system.lambdaScale();
  EXPECT_LT((Kphi - lambda * (Kg * phi)).norm(), 1e-6 * Kphi.norm());
}

TEST(BucklingSolverTest, SimpleTermsAreTheSignatureCurveAtTheirHalfWaves) {
  const StripModel model = modelOf(catalogueSection("lipped-channel", {200, 75, 20, 2}));
  const StripSystem system(model, StressField{1, 0, 0}, EndConditions::SS);
  BucklingSolver solver(system);
  // Three half-waves of the local length: term 3 is the mode.
  const BucklingSolution s = solver.solve(3 * 155, {1, 2, 3, 4});
  ASSERT_TRUE(s.converged());
  EXPECT_EQ(dominantTerms(s), std::vector<int>{3});
  EXPECT_NEAR(s.lambda / lambdaAt(model, StressField{1, 0, 0}, 155), 1, 1e-9);
}

TEST(BucklingSolverTest, RememberedModesChangeTheStepsNotTheAnswer) {
  const StripModel model = modelOf(catalogueSection("lipped-channel", {200, 75, 20, 2}));
  const StripSystem system(model, StressField{1, 0, 0}, EndConditions::SS);
  BucklingSolver warm(system);
  int warmSteps = 0, coldSteps = 0;
  // Up the curve through the local and distortional minima and down the
  // global branch, then back: the lowest mode changes its kind on the way.
  std::vector<double> lengths = halfWavelengths(20, 40000, 40);
  const std::vector<double> up = lengths;
  lengths.insert(lengths.end(), up.rbegin(), up.rend());
  for (double L : lengths) {
    const BucklingSolution w = warm.solve(L, {1});
    BucklingSolver fresh(system);
    const BucklingSolution c = fresh.solve(L, {1});
    ASSERT_TRUE(w.converged() && c.converged()) << L << w.reason << c.reason;
    EXPECT_NEAR(w.lambda / c.lambda, 1, 1e-8) << L;
    warmSteps += w.lanczosSteps;
    coldSteps += c.lanczosSteps;
  }
  EXPECT_LT(warmSteps, coldSteps);
}

TEST(BucklingSolverTest, SaysWhyItGivesNoValue) {
  const CrossSection section = catalogueSection("channel", {200, 75, 2});
  const StripModel model = modelOf(section);
  const double D = modelSize(model);
  {
    const StripSystem system(model, StressField{-1, 0, 0}, EndConditions::SS);
    BucklingSolver solver(system);
    const BucklingSolution s = solver.solve(100, {1});
    EXPECT_EQ(s.status, SolveStatus::kNoCompression);
    EXPECT_EQ(s.reason, "the stress compresses no part of the section");
    EXPECT_TRUE(s.result().isRefused());
  }
  const StripSystem system(model, StressField{1, 0, 0}, EndConditions::SS);
  BucklingSolver solver(system);
  const BucklingSolution longer = solver.solve(501 * D, {1});
  EXPECT_EQ(longer.status, SolveStatus::kLengthOutOfRange);
  EXPECT_EQ(longer.reason,
            "the length 99198 is beyond 500 D = 99000, where double precision no "
            "longer carries the strip results");
  EXPECT_EQ(solver.solve(0.9e-4 * D, {1}).status, SolveStatus::kLengthOutOfRange);
  // A strip narrower than the bound, built by hand past buildStripModel.
  StripModel narrow = model;
  narrow.nodes.push_back({narrow.nodes[1].y, narrow.nodes[1].z + 0.09, 0});
  narrow.strips.push_back({1, static_cast<int>(narrow.nodes.size()) - 1, 2, 99});
  const StripSystem narrowSystem(narrow, StressField{1, 0, 0}, EndConditions::SS);
  BucklingSolver narrowSolver(narrowSystem);
  const BucklingSolution n = narrowSolver.solve(100, {1});
  EXPECT_EQ(n.status, SolveStatus::kStripsTooNarrow);
  EXPECT_EQ(n.reason, "a strip is 0.045 t wide, narrower than 0.05 t");
}

TEST(BucklingSolverTest, NoConvergenceAndNoFactorisationAreSaid) {
  const StripModel model = modelOf(catalogueSection("lipped-channel", {200, 75, 20, 2}));
  const StripSystem system(model, StressField{1, 0, 0}, EndConditions::SS);
  BucklingSolver hurried(system, SolverLimits{3, 1});
  const BucklingSolution s = hurried.solve(700, {1});
  EXPECT_EQ(s.status, SolveStatus::kNotConverged);
  EXPECT_EQ(s.reason, "the solve did not converge in 3 Lanczos steps");
  EXPECT_TRUE(s.result().isFailed());
  // A shear modulus below 0 (past the material check) leaves no positive
  // definite K.
  StripModel unsound = model;
  unsound.G = -unsound.G;
  const StripSystem unsoundSystem(unsound, StressField{1, 0, 0}, EndConditions::SS);
  BucklingSolver solver(unsoundSystem);
  const BucklingSolution f = solver.solve(700, {1});
  EXPECT_EQ(f.status, SolveStatus::kFactorisationFailed);
  EXPECT_EQ(f.reason, "the stiffness matrix is not positive definite in double precision");
  // G / E beyond the range of numbers overflows the strips' matrices.
  StripModel overflowing = model;
  overflowing.E = 1e-10;
  overflowing.G = 1e308;
  const StripSystem overflowingSystem(overflowing, StressField{1, 0, 0}, EndConditions::SS);
  EXPECT_FALSE(overflowingSystem.finite());
  BucklingSolver overflowingSolver(overflowingSystem);
  EXPECT_EQ(overflowingSolver.solve(700, {1}).reason,
            "the strip matrices overflow the range of numbers");
}

TEST(BucklingSolverTest, RoundingBeyondDoublePrecisionIsSaid) {
  // Strips 0.05 t wide hold at short lengths; at 200 D the rounding of
  // their matrices moves lambda by more than 0.1 %: no value.
  const CrossSection section = catalogueSection("lipped-channel", {200, 75, 20, 2});
  const StripModel fine = modelOf(section, 190);  // the lips in strips of 0.05 t
  const StripSystem system(fine, StressField{1, 0, 0}, EndConditions::SS);
  BucklingSolver solver(system);
  const BucklingSolution s = solver.solve(200 * modelSize(fine), {1});
  EXPECT_EQ(s.status, SolveStatus::kLengthOutOfRange);
  EXPECT_EQ(s.reason.rfind("double precision does not carry the result: rounding moves "
                           "lambda by more than 0.5 % (strips as narrow as 0.05",
                           0),
            0u)
      << s.reason;
}

TEST(BucklingSolverTest, MemoryEstimateGrowsWithTheModel) {
  EXPECT_LT(solveBytes(50, 49, 1, EndConditions::SS), 1e7);
  EXPECT_GT(solveBytes(5e6, 5e6, 1, EndConditions::SS), kMostSolveBytes);
  // The odd and even C-C terms are solved apart; C-F couples every term.
  EXPECT_LT(solveBytes(1000, 999, 20, EndConditions::CC),
            solveBytes(1000, 999, 20, EndConditions::CF));
  EXPECT_LT(solveBytes(1000, 999, 10, EndConditions::SC),
            solveBytes(1000, 999, 20, EndConditions::SC));
}

}  // namespace

TEST(BucklingSolverTest, AModeIsScaledToItsLargestDisplacementWhoseSignNoiseDoesNotChoose) {
  // Two nodes (u, v, w, theta each): the second node's w is larger than the
  // first's u by rounding noise only, and of the other sign; the rotation,
  // larger still, is no displacement.
  Eigen::VectorXd mode(8);
  mode << 0.5, 0.0, 0.1, 9.0, 0.0, 0.2, -0.5 * (1 + 1e-12), 0.0;
  normaliseToLargestDisplacement(mode, 2.0);
  EXPECT_NEAR(mode[0], 1 / (1 + 1e-12), 1e-15);    // the first of the two gives the sign
  EXPECT_DOUBLE_EQ(mode[6], -1.0);                 // the largest has size 1
  EXPECT_NEAR(mode[3], 9.0 / (1 + 1e-12), 1e-12);  // rotations are not times the length scale
  EXPECT_NEAR(mode[2], 0.2, 1e-12);
  // A clearly larger displacement gives the sign itself.
  Eigen::VectorXd other(4);
  other << 0.5, -0.6, 0.0, 0.0;
  normaliseToLargestDisplacement(other, 1.0);
  EXPECT_DOUBLE_EQ(other[1], 1.0);
  EXPECT_NEAR(other[0], -0.5 / 0.6, 1e-15);
}
