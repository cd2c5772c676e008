#include "strip/finite_strip.h"

#include <Eigen/Dense>
#include <Eigen/Sparse>
#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <string>

#include "archive/numbers.h"
#include "section/cross_section.h"
#include "section/plate_geometry.h"

namespace {

using Matrix8 = Eigen::Matrix<double, 8, 8>;
using Vector8 = Eigen::Matrix<double, 8, 1>;
using SparseMatrix = Eigen::SparseMatrix<double>;

// Local freedoms of a strip, node by node: u (across the strip), v (along
// the member), w (out of its plane), theta.
enum Local { U1, V1, W1, T1, U2, V2, W2, T2 };

// Four-point Gauss rule on [0, 1]: exact for the polynomials of degree 7
// that the strip integrals hold (linear stress times cubic squared).
const std::array<double, 4> kGaussPoints = {0.0694318442029737, 0.3300094782075719,
                                            0.6699905217924281, 0.9305681557970263};
const std::array<double, 4> kGaussWeights = {0.1739274225687269, 0.3260725774312731,
                                             0.3260725774312731, 0.1739274225687269};

// The default mesh: no strip wider than this share of the centre line.
const double kStripsAlongTheCentreLine = 32;

// The share of a hint below the lowest lambda taken as the shift.
const double kShiftShare = 0.9;

// Lanczos steps at the most; a step costs two triangular solves and the
// reorthogonalisation against the steps before. A model of a few hundred
// freedoms settles in far fewer; where very many modes lie within 1e-6 of
// the lowest (a long corrugated chain), the value reached is within that
// cluster, from above.
const int kMostLanczosSteps = 80;

struct StripMatrices {
  Matrix8 elastic = Matrix8::Zero();
  Matrix8 geometric = Matrix8::Zero();
};

// The matrices of one strip of width b in its own axes; k = pi / L. The
// common factor L / 2 of the integrals along the member is left out of both.
StripMatrices localMatrices(const StripModel& model, const Strip& strip, double b, double k,
                            double stress1, double stress2) {
  const double E1 = model.E / (1 - model.MUE * model.MUE);
  const double t = strip.t;
  const double D = E1 * t * t * t / 12;
  const double Dxy = model.G * t * t * t / 12;
  StripMatrices m;
  for (std::size_t g = 0; g < kGaussPoints.size(); ++g) {
    const double x = kGaussPoints[g];  // across the strip, 0 to 1
    const double weight = kGaussWeights[g] * b;
    const double n1 = 1 - x, n2 = x;
    // Membrane strains: eps_x and eps_y with sin, gamma with cos.
    Vector8 epsX = Vector8::Zero(), epsY = Vector8::Zero(), gamma = Vector8::Zero();
    epsX[U1] = -1 / b;
    epsX[U2] = 1 / b;
    epsY[V1] = -k * n1;
    epsY[V2] = -k * n2;
    gamma[U1] = k * n1;
    gamma[U2] = k * n2;
    gamma[V1] = -1 / b;
    gamma[V2] = 1 / b;
    // Hermite shape of w and its derivatives across the strip.
    Vector8 h = Vector8::Zero(), hx = Vector8::Zero(), hxx = Vector8::Zero();
    h[W1] = 1 - 3 * x * x + 2 * x * x * x;
    h[T1] = b * (x - 2 * x * x + x * x * x);
    h[W2] = 3 * x * x - 2 * x * x * x;
    h[T2] = b * (x * x * x - x * x);
    hx[W1] = (-6 * x + 6 * x * x) / b;
    hx[T1] = 1 - 4 * x + 3 * x * x;
    hx[W2] = (6 * x - 6 * x * x) / b;
    hx[T2] = 3 * x * x - 2 * x;
    hxx[W1] = (-6 + 12 * x) / (b * b);
    hxx[T1] = (-4 + 6 * x) / b;
    hxx[W2] = (6 - 12 * x) / (b * b);
    hxx[T2] = (-2 + 6 * x) / b;
    const Vector8 wyy = -k * k * h;
    const Vector8 wxy = k * hx;

    Matrix8 membrane = E1 * (epsX * epsX.transpose() + epsY * epsY.transpose()) +
                       E1 * model.MUE * (epsX * epsY.transpose() + epsY * epsX.transpose()) +
                       model.G * gamma * gamma.transpose();
    Matrix8 bending = D * (hxx * hxx.transpose() + wyy * wyy.transpose()) +
                      D * model.MUE * (hxx * wyy.transpose() + wyy * hxx.transpose()) +
                      4 * Dxy * wxy * wxy.transpose();
    m.elastic += weight * (t * membrane + bending);

    // Longitudinal force per width, linear across the strip, acting on the
    // slopes du/dy, dv/dy and dw/dy.
    const double force = t * (stress1 * n1 + stress2 * n2);
    Vector8 u = Vector8::Zero(), v = Vector8::Zero();
    u[U1] = n1;
    u[U2] = n2;
    v[V1] = n1;
    v[V2] = n2;
    m.geometric +=
        weight * force * k * k * (u * u.transpose() + v * v.transpose() + h * h.transpose());
  }
  return m;
}

// From the section's freedoms of the strip's two nodes (y, z, v, theta each)
// to its own (u, v, w, theta each).
Matrix8 rotation(double c, double s) {
  Matrix8 r = Matrix8::Zero();
  for (int node = 0; node < 2; ++node) {
    const int o = 4 * node;
    r(o + 0, o + 0) = c;  // u along the strip
    r(o + 0, o + 1) = s;
    r(o + 1, o + 2) = 1;   // v
    r(o + 2, o + 0) = -s;  // w normal to it
    r(o + 2, o + 1) = c;
    r(o + 3, o + 3) = 1;  // theta
  }
  return r;
}

void assemble(const StripModel& model, const StressField& stress, double L, SparseMatrix& K,
              SparseMatrix& Kg) {
  const double k = kPi / L;
  std::vector<Eigen::Triplet<double>> elastic, geometric;
  elastic.reserve(model.strips.size() * 64);
  geometric.reserve(model.strips.size() * 64);
  for (const Strip& strip : model.strips) {
    const StripNode& a = model.nodes[static_cast<std::size_t>(strip.first)];
    const StripNode& b = model.nodes[static_cast<std::size_t>(strip.second)];
    const double width = std::hypot(b.y - a.y, b.z - a.z);
    const StripMatrices local =
        localMatrices(model, strip, width, k, stress.at(a.y, a.z), stress.at(b.y, b.z));
    const Matrix8 r = rotation((b.y - a.y) / width, (b.z - a.z) / width);
    const Matrix8 ke = r.transpose() * local.elastic * r;
    const Matrix8 kg = r.transpose() * local.geometric * r;
    const int base[2] = {4 * strip.first, 4 * strip.second};
    for (int i = 0; i < 8; ++i) {
      for (int j = 0; j < 8; ++j) {
        const int row = base[i / 4] + i % 4, column = base[j / 4] + j % 4;
        elastic.emplace_back(row, column, ke(i, j));
        geometric.emplace_back(row, column, kg(i, j));
      }
    }
  }
  const int n = 4 * static_cast<int>(model.nodes.size());
  K.resize(n, n);
  Kg.resize(n, n);
  K.setFromTriplets(elastic.begin(), elastic.end());
  Kg.setFromTriplets(geometric.begin(), geometric.end());
}

using Cholesky = Eigen::SimplicialLLT<SparseMatrix, Eigen::Lower, Eigen::AMDOrdering<int>>;

// The largest mu of Kg phi = mu M phi, M positive definite and factored, by
// Lanczos iteration on L^-1 P Kg P^T L^-T (M = P^T L L^T P). It stops when
// the largest Ritz value has settled: only the value is needed, and in a
// cluster of nearly equal modes the value settles long before any one mode
// does. Without reorthogonalisation a converged value may come back as a
// copy, which leaves the largest one as it is; each step costs in
// proportion to the model.
double largestByLanczos(const Cholesky& factor, const SparseMatrix& Kg) {
  const Eigen::Index n = Kg.rows();
  const int most = static_cast<int>(std::min<Eigen::Index>(n, kMostLanczosSteps));
  auto apply = [&](const Eigen::VectorXd& x) -> Eigen::VectorXd {
    const Eigen::VectorXd w = factor.permutationPinv() * factor.matrixU().solve(x);
    const Eigen::VectorXd g = factor.permutationP() * (Kg * w);
    return factor.matrixL().solve(g);
  };
  // A start that no symmetry of the section makes orthogonal to the mode.
  Eigen::VectorXd q(n), before = Eigen::VectorXd::Zero(n);
  for (Eigen::Index i = 0; i < n; ++i) q[i] = 1.0 + 0.5 * std::sin(1.0 + 0.61803398875 * i);
  q.normalize();
  std::vector<double> alpha, beta;
  double previous = -HUGE_VAL, largest = -HUGE_VAL;
  int settled = 0;
  for (int j = 0; j < most; ++j) {
    Eigen::VectorXd w = apply(q);
    if (j > 0) w -= beta.back() * before;
    alpha.push_back(q.dot(w));
    w -= alpha.back() * q;
    const double norm = w.norm();
    const Eigen::VectorXd diagonal = Eigen::Map<Eigen::VectorXd>(alpha.data(), j + 1);
    const Eigen::VectorXd offDiagonal = Eigen::Map<Eigen::VectorXd>(beta.data(), j);
    Eigen::SelfAdjointEigenSolver<Eigen::MatrixXd> tridiagonal;
    tridiagonal.computeFromTridiagonal(diagonal, offDiagonal, Eigen::EigenvaluesOnly);
    largest = tridiagonal.eigenvalues().maxCoeff();
    settled = std::fabs(largest - previous) <= 1e-11 * std::fabs(largest) ? settled + 1 : 0;
    if (settled >= 2 || norm <= 1e-14 * std::fabs(largest)) break;
    previous = largest;
    beta.push_back(norm);
    before = q;
    q = w / norm;
  }
  return largest;
}

std::string plateName(int k) { return "plate " + std::to_string(k + 1); }

}  // namespace

int defaultStripCount(double width, double centreLineLength) {
  const double longest = centreLineLength / kStripsAlongTheCentreLine;
  if (!(width > longest)) return 1;
  return static_cast<int>(std::ceil(width / longest - 1e-9));
}

Result buildStripModel(const CrossSection& section, int stripsPerPlate, StripModel& model,
                       int refinement) {
  model = StripModel();
  if (!(std::isfinite(section.E) && section.E > 0)) {
    return Result::failure("E = " + formatReal(section.E) + " is not a modulus above 0");
  }
  if (!(std::isfinite(section.G) && section.G > 0)) {
    return Result::failure("G = " + formatReal(section.G) + " is not a modulus above 0");
  }
  if (!(section.MUE > -1 && section.MUE < 0.5)) {
    return Result::failure("MUE = " + formatReal(section.MUE) + " is not between -1 and 0.5");
  }
  model.E = section.E;
  model.G = section.G;
  model.MUE = section.MUE;
  const int nodes = std::min<int>(section.nodeY.size(), section.nodeZ.size());
  if (section.ns < 1) return Result::failure("the section has no plates");
  double yMin = HUGE_VAL, yMax = -HUGE_VAL, zMin = HUGE_VAL, zMax = -HUGE_VAL;
  for (int i = 0; i < nodes; ++i) {
    if (!std::isfinite(section.nodeY[i]) || !std::isfinite(section.nodeZ[i])) {
      return Result::failure("node " + std::to_string(i + 1) +
                             " has a coordinate that is not finite");
    }
  }
  // Only the nodes that plates use become strip nodes, in the file's order.
  std::vector<int> index(static_cast<std::size_t>(nodes), -1);
  for (int k = 0; k < section.ns; ++k) {
    if (k >= static_cast<int>(section.startNode.size()) ||
        k >= static_cast<int>(section.endNode.size()) ||
        k >= static_cast<int>(section.t_r.size())) {
      return Result::failure("the plate lists do not hold ns = " + std::to_string(section.ns) +
                             " entries");
    }
    for (int node : {section.startNode[k], section.endNode[k]}) {
      if (node < 1 || node > nodes) {
        return Result::failure(plateName(k) + " names node " + std::to_string(node) +
                               ", which the section does not have");
      }
      const double y = section.nodeY[node - 1], z = section.nodeZ[node - 1];
      yMin = std::min(yMin, y), yMax = std::max(yMax, y);
      zMin = std::min(zMin, z), zMax = std::max(zMax, z);
    }
  }
  const double size = std::max(yMax - yMin, zMax - zMin);
  double centreLine = 0;
  for (int k = 0; k < section.ns; ++k) {
    const int a = section.startNode[k] - 1, b = section.endNode[k] - 1;
    centreLine +=
        std::hypot(section.nodeY[b] - section.nodeY[a], section.nodeZ[b] - section.nodeZ[a]);
  }
  for (int k = 0; k < section.ns; ++k) {
    for (int node : {section.startNode[k], section.endNode[k]}) {
      if (index[node - 1] >= 0) continue;
      index[node - 1] = static_cast<int>(model.nodes.size());
      model.nodes.push_back({section.nodeY[node - 1], section.nodeZ[node - 1]});
    }
    const StripNode a = model.nodes[static_cast<std::size_t>(index[section.startNode[k] - 1])];
    const StripNode b = model.nodes[index[section.endNode[k] - 1]];
    const double width = std::hypot(b.y - a.y, b.z - a.z);
    const double t = section.t_r[k];
    if (!(width > 1e-12 * size)) return Result::failure(plateName(k) + " has no length");
    if (!(std::isfinite(t) && t > 0)) return Result::failure(plateName(k) + " has no thickness");
    const int pieces =
        refinement * (stripsPerPlate > 0 ? stripsPerPlate : defaultStripCount(width, centreLine));
    int previous = index[section.startNode[k] - 1];
    for (int p = 1; p <= pieces; ++p) {
      int next = index[section.endNode[k] - 1];
      if (p < pieces) {
        const double share = static_cast<double>(p) / pieces;
        next = static_cast<int>(model.nodes.size());
        model.nodes.push_back({a.y + share * (b.y - a.y), a.z + share * (b.z - a.z)});
      }
      model.strips.push_back({previous, next, t});
      previous = next;
    }
  }
  return Result::success();
}

void assembleStiffness(const StripModel& model, const StressField& stress, double L,
                       SparseMatrix& K, SparseMatrix& Kg) {
  assemble(model, stress, L, K, Kg);
}

double lowestLoadFactor(const StripModel& model, const StressField& stress, double L, double near) {
  SparseMatrix K, Kg;
  assemble(model, stress, L, K, Kg);
  // A shift sigma below the lowest lambda spreads the modes near it apart:
  // Kg phi = mu (K - sigma Kg) phi with mu = 1 / (lambda - sigma). The
  // factorisation fails when sigma is not below every positive lambda; the
  // shift is then lowered until it holds (sigma 0 always does).
  double sigma = std::isfinite(near) && near > 0 ? kShiftShare * near : 0.0;
  for (int attempt = 0;; ++attempt) {
    const SparseMatrix M = sigma > 0 ? SparseMatrix(K - sigma * Kg) : K;
    Cholesky factor(M);
    if (factor.info() == Eigen::Success) {
      const double mu = largestByLanczos(factor, Kg);
      if (!(mu > 0)) return std::numeric_limits<double>::infinity();
      return sigma + 1 / mu;
    }
    if (sigma == 0.0) return std::numeric_limits<double>::quiet_NaN();
    sigma = attempt < 3 ? sigma / 2 : 0.0;
  }
}
