#include "strip/pure_modes.h"

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

StripModel withoutPoissonCoupling(const StripModel& model) {
  StripModel changed = model;
  changed.MUE = 0.0;
  return changed;
}

Result pureModeAt(const ModalSpaceBuilder& builder, const StripSystem& system, double L,
                  unsigned classes, PureMode& pure) {
  pure = PureMode();
  if (builder.nodeCount() != system.nodeCount() || builder.termCount() != 1) {
    return Result::failure("the modal spaces were prepared for another model");
  }
  ModalSpaces spaces;
  if (Result built = builder.spacesAt({kPi * system.lengthScale() / L}, spaces); !built) {
    return built;
  }
  const Eigen::MatrixXd basis = spaceBasis(spaces, classes);
  if (basis.cols() == 0) {
    return Result::failure("the section has no " + spaceNames(classes) + " deformation");
  }
  Eigen::SparseMatrix<double> K, Kg;
  system.assemble(L, {1}, K, Kg);
  const Result solved = solveReduced(K, Kg, basis, pure);
  if (solved.isFailed()) return Result::failed(spaceNames(classes) + ": " + solved.reason());
  if (!solved) return Result::failure(spaceNames(classes) + ": " + solved.reason());
  pure.lambda *= system.lambdaScale();
  return Result::success();
}

PureModeSolver::PureModeSolver(const StripModel& model, const StressField& stress)
    : plates_(model, stress, EndConditions::SS),
      member_(withoutPoissonCoupling(model), stress, EndConditions::SS) {}

Result PureModeSolver::prepare() { return spaces_.prepare(plates_.scaled()); }

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
