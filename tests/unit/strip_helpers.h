// Sections, models and reference solutions for the tests of the strip floor.
#pragma once

#include <gtest/gtest.h>

#include <Eigen/Dense>
#include <cmath>
#include <string>
#include <vector>

#include "make/catalogue.h"
#include "section/plate_geometry.h"
#include "section/section_properties.h"
#include "strip/buckling_solver.h"
#include "strip/member_curve.h"
#include "tests/unit/test_sections.h"

inline StripModel modelOf(const CrossSection& section, int strips = 0) {
  StripModel model;
  const Result built = buildStripModel(section, strips, model);
  EXPECT_TRUE(built.ok()) << built.reason();
  return model;
}

inline CrossSection catalogueSection(const std::string& shape, std::vector<double> dimensions) {
  SectionRecipe recipe;
  recipe.shape = shape;
  recipe.dimensions = dimensions;
  CrossSection section;
  EXPECT_TRUE(makeSection(recipe, section).ok());
  return section;
}

// A rectangular tube, its corners on (0, 0) and (b, d): a closed cell.
inline CrossSection tube(double b, double d, double t) {
  return fromLines({{0, 0, b, 0}, {b, 0, b, d}, {b, d, 0, d}, {0, d, 0, 0}}, t);
}

// The lowest lambda of terms 1 ... terms on a member of length a (converged).
inline double memberLambda(const StripModel& model, const StressField& stress, EndConditions ends,
                           double a, int terms) {
  MemberSolver solver(model, stress, ends);
  const MemberBuckling b = solver.solve(a, terms);
  EXPECT_TRUE(b.solution.converged()) << b.solution.reason;
  return b.solution.lambda;
}

// The signature curve's lambda at the half-wavelength L.
inline double lambdaAt(const StripModel& model, const StressField& stress, double L) {
  const StripSystem system(model, stress, EndConditions::SS);
  BucklingSolver solver(system);
  const BucklingSolution s = solver.solve(L, {1});
  EXPECT_TRUE(s.converged()) << s.reason;
  return s.lambda;
}

// The reference: the lowest lambda above 0 of the assembled matrices by a
// dense generalized eigen-solve (K positive definite: Kg phi = mu K phi,
// lambda = 1 / mu for the largest mu), in the file's units.
inline double denseLowestLambda(const StripSystem& system, double a,
                                const std::vector<int>& terms) {
  SparseMatrix K, Kg;
  system.assemble(a, terms, K, Kg);
  const Eigen::MatrixXd k(K), g(Kg);
  Eigen::GeneralizedSelfAdjointEigenSolver<Eigen::MatrixXd> dense(g, k, Eigen::EigenvaluesOnly);
  return system.lambdaScale() / dense.eigenvalues().maxCoeff();
}
