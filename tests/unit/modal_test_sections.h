// Sections and dense solves shared by the tests of the modal spaces.
#pragma once

#include <gtest/gtest.h>

#include <Eigen/Dense>
#include <string>
#include <vector>

#include "make/catalogue.h"
#include "rounding/corner_rounding.h"
#include "rounding/thickness.h"
#include "section/cross_section.h"
#include "section/plate_geometry.h"
#include "strip/modal_spaces.h"
#include "strip/strip_model.h"
#include "strip/strip_system.h"
#include "tests/unit/test_sections.h"

struct DenseMode {
  double lambda = 0;
  Eigen::VectorXd vector;
};

// The lowest positive lambda (the file's) and its mode (in the model's
// units) by a dense solve of Kg phi = mu K phi (K positive definite) of the
// S-S system in its solved units.
inline DenseMode lowestMode(const StripModel& model, const StressField& stress, double L) {
  const StripSystem system(model, stress, EndConditions::SS);
  Eigen::SparseMatrix<double> K, Kg;
  system.assemble(L, {1}, K, Kg);
  const Eigen::MatrixXd k = K, kg = Kg;
  Eigen::GeneralizedSelfAdjointEigenSolver<Eigen::MatrixXd> solver(kg, k);
  Eigen::Index top;
  solver.eigenvalues().maxCoeff(&top);
  Eigen::VectorXd mode = solver.eigenvectors().col(top);
  for (Eigen::Index i = 0; i < mode.size(); ++i) {
    if (i % 4 != 3) mode[i] *= system.lengthScale();
  }
  return {system.lambdaScale() / solver.eigenvalues()[top], mode};
}

inline StripModel modelOf(const CrossSection& section) {
  StripModel model;
  const Result built = buildStripModel(section, 0, model);
  EXPECT_TRUE(built.ok()) << built.reason();
  return model;
}

// The spaces at L as the program builds them, from a builder.
inline ModalSpaces spacesAt(const StripModel& model, double L) {
  ModalSpaceBuilder builder;
  const Result prepared = builder.prepare(model);
  EXPECT_TRUE(prepared.ok()) << prepared.reason();
  ModalSpaces spaces;
  const Result built = builder.spacesAt({kPi / L}, spaces);
  EXPECT_TRUE(built.ok()) << built.reason();
  return spaces;
}

// The spaces at L built directly from their definitions.
inline ModalSpaces directSpacesAt(const StripModel& model, double L) {
  FoldStructure folds;
  const Result found = findFolds(model, folds);
  EXPECT_TRUE(found.ok()) << found.reason();
  ModalSpaces spaces;
  const Result built = buildModalSpaces(model, folds, {kPi / L}, workNorm(model, L), spaces);
  EXPECT_TRUE(built.ok()) << built.reason();
  return spaces;
}

inline ModeShares sharesAt(const StripModel& model, const StressField& stress, double L) {
  return modeShares(spacesAt(model, L), lowestMode(model, stress, L).vector);
}

inline CrossSection exampleSection(const std::string& name) {
  CrossSection s;
  EXPECT_TRUE(s.load(std::string(ZORVIK_EXAMPLES) + "/" + name + ".kaf").ok()) << name;
  return s;
}

inline CrossSection catalogueSection(const std::string& shape, std::vector<double> dimensions) {
  SectionRecipe recipe;
  recipe.shape = shape;
  recipe.dimensions = dimensions;
  CrossSection section;
  const Result made = makeSection(recipe, section);
  EXPECT_TRUE(made.ok()) << made.reason();
  return section;
}

// The section with every corner rounded to the centre-line radius R, four
// arc plates a corner, every plate as thick as before.
inline CrossSection roundedSection(CrossSection s, double R) {
  const double t = s.t_r[0];
  EXPECT_TRUE(
      roundCorners(s, R, 4, true, std::vector<int>(std::size_t(s.ns), 1)).misfitCorners.empty());
  EXPECT_TRUE(setThickness(s, t).ok());
  return s;
}

// A lipped channel with a V-shaped stiffener in each half of its web, in
// inches and ksi: web 10, flanges 2.75, lips 0.8, t 0.06; the stiffeners
// 0.5 wide and 0.2 deep, centred 3 from the flanges. In bending about its
// major axis its curve has three minima, near 2.8, 10.2 and 30.4 in: local,
// a distortional mode of the web stiffeners, and the flanges' distortional
// mode, as in a published design guide's lipped channel with web stiffeners.
inline CrossSection webStiffenedChannel() {
  const double h = 10, B = 2.75, D = 0.8, z1 = 3, ds = 0.2, ws = 0.5;
  std::vector<Line> lines{{B, D, B, 0},
                          {B, 0, 0, 0},
                          {0, 0, 0, z1 - ws / 2},
                          {0, z1 - ws / 2, ds, z1},
                          {ds, z1, 0, z1 + ws / 2},
                          {0, z1 + ws / 2, 0, h - z1 - ws / 2},
                          {0, h - z1 - ws / 2, ds, h - z1},
                          {ds, h - z1, 0, h - z1 + ws / 2},
                          {0, h - z1 + ws / 2, 0, h},
                          {0, h, B, h},
                          {B, h, B, h - D}};
  CrossSection s = fromLines(lines, 0.06);
  s.E = 29500;
  s.MUE = 0.3;
  s.G = s.E / 2.6;
  s.Kraft = "kip";
  s.Laenge = "in";
  return s;
}
