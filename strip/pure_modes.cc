#include "strip/pure_modes.h"

#include <cmath>
#include <string>

#include "section/plate_geometry.h"

namespace {

std::string spaceNames(unsigned classes) {
  std::string names;
  const struct {
    unsigned flag;
    const char* name;
  } spaces[] = {{kGlobal, "G"}, {kDistortional, "D"}, {kLocal, "L"}, {kOther, "O"}};
  for (const auto& space : spaces) {
    if (!(classes & space.flag)) continue;
    names += names.empty() ? space.name : std::string(" + ") + space.name;
  }
  return names.empty() ? "no space" : names;
}

}  // namespace

Result solveReduced(const Eigen::SparseMatrix<double>& K, const Eigen::SparseMatrix<double>& Kg,
                    const Eigen::MatrixXd& basis, PureMode& pure) {
  pure = PureMode();
  if (basis.cols() == 0) return Result::failure("the space is empty");
  const Eigen::MatrixXd reducedK = basis.transpose() * (K * basis);
  const Eigen::MatrixXd reducedKg = basis.transpose() * (Kg * basis);
  // Kg y = mu K y, K positive definite: lambda = 1 / mu for the largest mu.
  Eigen::GeneralizedSelfAdjointEigenSolver<Eigen::MatrixXd> solver(reducedKg, reducedK);
  if (solver.info() != Eigen::Success) {
    return Result::failed("the reduced stiffness could not be factorised");
  }
  Eigen::Index top = 0;
  const double mu = solver.eigenvalues().maxCoeff(&top);
  if (!(mu > 0)) return Result::failure("the stresses nowhere compress the space");
  pure.lambda = 1 / mu;
  pure.mode = basis * solver.eigenvectors().col(top);
  Eigen::Index largest = 0;
  pure.mode.cwiseAbs().maxCoeff(&largest);
  pure.mode /= pure.mode[largest];
  return Result::success();
}

Eigen::VectorXd inFileUnits(const Eigen::VectorXd& solved, const StripSystem& system) {
  Eigen::VectorXd mode = solved;
  normaliseToLargestDisplacement(mode, system.lengthScale());
  return mode;
}

StripModel withoutPoissonCoupling(const StripModel& model) {
  StripModel changed = model;
  changed.MUE = 0.0;
  return changed;
}

Result pureMemberModeAt(const ModalSpaceBuilder& builder, const StripSystem& system, double a,
                        const std::vector<int>& terms, unsigned classes, PureMode& pure) {
  pure = PureMode();
  if (builder.nodeCount() != system.nodeCount() || builder.termCount() != 1) {
    return Result::failure("the modal spaces were prepared for another model");
  }
  const Eigen::Index n = 4 * Eigen::Index(system.nodeCount());
  std::vector<Eigen::MatrixXd> blocks;
  Eigen::Index columns = 0;
  for (int m : terms) {
    ModalSpaces spaces;
    if (Result built = builder.spacesAt({m * kPi * system.lengthScale() / a}, spaces); !built) {
      return built;
    }
    blocks.push_back(spaceBasis(spaces, classes));
    columns += blocks.back().cols();
  }
  if (columns == 0) {
    return Result::failure("the section has no " + spaceNames(classes) + " deformation");
  }
  // Each term held to its own spaces: the basis is block-diagonal.
  Eigen::MatrixXd basis = Eigen::MatrixXd::Zero(n * Eigen::Index(terms.size()), columns);
  Eigen::Index column = 0;
  for (std::size_t j = 0; j < blocks.size(); ++j) {
    basis.block(Eigen::Index(j) * n, column, n, blocks[j].cols()) = blocks[j];
    column += blocks[j].cols();
  }
  Eigen::SparseMatrix<double> K, Kg;
  system.assemble(a, terms, K, Kg);
  const Result solved = solveReduced(K, Kg, basis, pure);
  if (solved.isFailed()) return Result::failed(spaceNames(classes) + ": " + solved.reason());
  if (!solved) return Result::failure(spaceNames(classes) + ": " + solved.reason());
  pure.lambda *= system.lambdaScale();
  return Result::success();
}

Result pureModeAt(const ModalSpaceBuilder& builder, const StripSystem& system, double L,
                  unsigned classes, PureMode& pure) {
  return pureMemberModeAt(builder, system, L, {1}, classes, pure);
}

PureModeSolver::PureModeSolver(const StripModel& model, const StressField& stress)
    : plates_(model, stress, EndConditions::SS),
      member_(withoutPoissonCoupling(model), stress, EndConditions::SS) {}

PureModeSolver::PureModeSolver(const StripModel& model, const StressField& stress,
                               const ModalSpaceBuilder& prepared)
    : PureModeSolver(model, stress) {
  spaces_ = prepared;
}

Result PureModeSolver::prepare() { return spaces_.prepare(plates_); }

Result PureModeSolver::solve(double L, unsigned classes, PureMode& pure, PureLaw law) const {
  const bool member = law == PureLaw::memberForGlobal && classes == kGlobal;
  return pureModeAt(spaces_, member ? member_ : plates_, L, classes, pure);
}

Result pureModeAt(const StripModel& model, const StressField& stress, double L, unsigned classes,
                  PureMode& pure, PureLaw law) {
  pure = PureMode();
  PureModeSolver solver(model, stress);
  if (Result prepared = solver.prepare(); !prepared) return prepared;
  return solver.solve(L, classes, pure, law);
}
