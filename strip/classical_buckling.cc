#include "strip/classical_buckling.h"

#include <Eigen/Dense>
#include <cmath>

#include "section/plate_geometry.h"
#include "section/trigonometry.h"

namespace {

// Below this share of the polar radius of gyration the shear centre lies on
// a principal axis (the file's six digits leave such noise), and below this
// share of the mode a component of the mode is none.
const double kOnAxis = 1e-9;
const double kNoComponent = 1e-6;

double eulerStress(double E, double I, double area, double length) {
  return kPi * kPi * E * I / (area * length * length);
}

}  // namespace

std::string globalModeName(GlobalMode mode) {
  switch (mode) {
    case GlobalMode::kFlexuralAbout1:
      return "flexural about axis 1";
    case GlobalMode::kFlexuralAbout2:
      return "flexural about axis 2";
    case GlobalMode::kTorsional:
      return "torsional";
    case GlobalMode::kFlexuralTorsional:
      break;
  }
  return "flexural-torsional";
}

Result classicalGlobalBuckling(const SectionProperties& p, double E, double G,
                               const EffectiveLengths& lengths, GlobalBuckling& buckling) {
  if (!p.torsionAndWarping) {
    return Result::refused("no torsion and warping values: " + p.torsionAndWarping.reason());
  }
  for (double length : {lengths.about1, lengths.about2, lengths.torsion}) {
    if (!(std::isfinite(length) && length > 0)) {
      return Result::refused("an effective length is not a length above 0");
    }
  }
  // The shear centre in principal axes: x0 along axis 1, y0 along axis 2.
  const double angle = radians(p.principalAngle);
  const double c = portableCos(angle), s = portableSin(angle);
  const double dy = p.ys - p.yc, dz = p.zs - p.zc;
  double x0 = c * dy + s * dz, y0 = -s * dy + c * dz;
  if (std::fabs(x0) < kOnAxis * p.i0) x0 = 0.0;
  if (std::fabs(y0) < kOnAxis * p.i0) y0 = 0.0;
  const double r0squared = p.i0 * p.i0;
  // Freedoms: deflection along axis 1 (bending about axis 2), deflection
  // along axis 2 (bending about axis 1), twist times r0. Both matrices are
  // per unit area, so their eigenvalues are stresses.
  Eigen::Matrix3d stiffness = Eigen::Matrix3d::Zero(), geometric;
  stiffness(0, 0) = eulerStress(E, p.I2, p.area, lengths.about2);
  stiffness(1, 1) = eulerStress(E, p.I1, p.area, lengths.about1);
  stiffness(2, 2) =
      (G * p.J + kPi * kPi * E * p.Iw / (lengths.torsion * lengths.torsion)) / (p.area * r0squared);
  const double a = -y0 / p.i0, b = x0 / p.i0;
  geometric << 1, 0, a, 0, 1, b, a, b, 1;
  Eigen::GeneralizedSelfAdjointEigenSolver<Eigen::Matrix3d> solver(stiffness, geometric);
  if (solver.info() != Eigen::Success)
    return Result::refused("the column equations have no solution");
  Eigen::Index lowest = 0;
  buckling.stress = solver.eigenvalues().minCoeff(&lowest);
  const Eigen::Vector3d mode = solver.eigenvectors().col(lowest).cwiseAbs();
  const double largest = mode.maxCoeff();
  const bool along1 = mode[0] > kNoComponent * largest, along2 = mode[1] > kNoComponent * largest;
  const bool twist = mode[2] > kNoComponent * largest;
  if (twist && (along1 || along2)) {
    buckling.mode = GlobalMode::kFlexuralTorsional;
  } else if (twist) {
    buckling.mode = GlobalMode::kTorsional;
  } else {
    buckling.mode = along2 ? GlobalMode::kFlexuralAbout1 : GlobalMode::kFlexuralAbout2;
  }
  return Result::success();
}
