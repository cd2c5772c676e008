#include "strip/buckling_solver.h"

#include <Eigen/Eigenvalues>
#include <algorithm>
#include <cmath>
#include <new>

#include "archive/numbers.h"
#include "strip/term_assembly.h"

namespace {

// Lanczos steps of a round (SolverLimits): each costs two triangular
// solves, a product with Kg and the reorthogonalisation against the steps
// before. A round that does not converge moves the shift towards its value
// and the next starts from its vector.
// The moved shift: this share of the way from the shift to the round's value
// (an upper bound of the lowest lambda), or half of it when that fails.
const double kShiftApproach = 0.9;
// A Ritz pair is converged when its residual is below this share of its
// value: then a mu of the operator lies that close to it (Bauer and Fike),
// and an isolated one much closer (Kato and Temple: the residual squared
// over the gap). Where many modes lie within a hair of the lowest (a long
// corrugated chain), the residual cannot fall below their spread in few
// steps while the value has long settled: a value unchanged to
// kSettledShare over kSettledSteps steps with a residual below
// kClusterResidualShare is taken, within that share of a mode.
const double kResidualShare = 1e-8;
const double kClusterResidualShare = 1e-7;
const double kSettledShare = 1e-13;
const int kSettledSteps = 5;
// The check factorises K - lambda (1 - margin) Kg, the margin from
// kCheckMargin up to kWidestCheckMargin: when a fresh start finds the same
// lambda again, the factorisation so near lambda is beyond what rounding
// lets it resolve, and the margin widens tenfold. Rounding moves the
// factor's pivots by about n eps |K|, while along a long member's global
// mode phi^T K phi is 1e-11 of |K| |phi|^2 and less: the margin must
// exceed their ratio.
const double kCheckMargin = 1e-6;
const double kWidestCheckMargin = 1e-2;
// Where the rounding of the matrices moves lambda by more than this share,
// the mode itself is no longer sure (another may have been rounded below
// it), and double precision does not carry the result.
const double kMostRoundingShare = 5e-3;
// The patterns of this many sets of coupled terms are kept.
const std::size_t kKeptAssemblies = 6;
// The shift: this share of the value expected at the length.
const double kShiftShare = 0.9;

// A start vector that no symmetry of a section makes orthogonal to a mode:
// the fractional parts of multiples of the golden ratio, the same bits on
// every platform.
Eigen::VectorXd genericVector(Eigen::Index n) {
  Eigen::VectorXd v(n);
  for (Eigen::Index i = 0; i < n; ++i) {
    const double x = 0.6180339887498949 * static_cast<double>(i + 1);
    v[i] = 0.5 + (x - std::floor(x));
  }
  return v;
}

struct RitzPair {
  bool converged = false;
  int steps = 0;
  double theta = 0.0;
  Eigen::VectorXd vector;  // of the operator, unit length
};

// The largest eigenpair of L^-1 Kg L^-T (K - sigma Kg = L L^T), by Lanczos
// iteration with full reorthogonalisation from start (in the operator's space).
RitzPair largestEigenpair(const TermAssembly& assembly, const ShiftedFactor& f,
                          const Eigen::VectorXd& start, int steps) {
  const Eigen::Index n = start.size();
  const int most = static_cast<int>(std::min<Eigen::Index>(n, steps));
  std::vector<Eigen::VectorXd> basis;
  std::vector<double> alpha, beta;
  Eigen::VectorXd q = start / start.norm();
  Eigen::SelfAdjointEigenSolver<Eigen::MatrixXd> tridiagonal;
  RitzPair ritz;
  int settled = 0;
  for (int j = 0; j < most; ++j) {
    basis.push_back(q);
    Eigen::VectorXd w = assembly.apply(f, q);
    alpha.push_back(q.dot(w));
    for (int pass = 0; pass < 2; ++pass) {
      for (const Eigen::VectorXd& b : basis) w -= b.dot(w) * b;
    }
    const double norm = w.norm();
    tridiagonal.computeFromTridiagonal(Eigen::Map<Eigen::VectorXd>(alpha.data(), j + 1),
                                       Eigen::Map<Eigen::VectorXd>(beta.data(), j),
                                       Eigen::ComputeEigenvectors);
    const Eigen::Index top = j;  // eigenvalues come in increasing order
    const double before = ritz.theta;
    ritz.theta = tridiagonal.eigenvalues()[top];
    ritz.steps = j + 1;
    const double scale = std::fabs(ritz.theta);
    settled = std::fabs(ritz.theta - before) <= kSettledShare * scale ? settled + 1 : 0;
    const double residual = norm * std::fabs(tridiagonal.eigenvectors()(j, top));
    ritz.converged = residual <= kResidualShare * scale || norm <= 1e-14 * scale ||
                     (settled >= kSettledSteps && residual <= kClusterResidualShare * scale);
    if (ritz.converged || j + 1 == most) {
      ritz.vector = Eigen::VectorXd::Zero(n);
      for (int i = 0; i <= j; ++i) {
        ritz.vector += tridiagonal.eigenvectors()(i, top) * basis[static_cast<std::size_t>(i)];
      }
      return ritz;
    }
    beta.push_back(norm);
    q = w / norm;
  }
  return ritz;
}

BucklingSolution withStatus(SolveStatus status, const std::string& reason) {
  BucklingSolution s;
  s.status = status;
  s.reason = reason;
  return s;
}

// Displacements times D, the largest 1 and positive; each term's share.
void toFileUnits(const StripSystem& system, BucklingSolution& s) {
  const Eigen::Index N = system.nodeCount();
  s.termShares.assign(s.terms.size(), 0.0);
  const double total = s.mode.squaredNorm();
  for (Eigen::Index i = 0; i < s.mode.size(); ++i) {
    s.termShares[static_cast<std::size_t>(i / (4 * N))] += s.mode[i] * s.mode[i] / total;
  }
  normaliseToLargestDisplacement(s.mode, system.lengthScale());
  s.lambda *= system.lambdaScale();
}

}  // namespace

// A coupling structure's fixed pattern and its two factorisations: the
// shift proven below the lowest lambda, and the other (the check, or a
// shift being tried).
struct BucklingSolver::Assembly {
  TermAssembly terms;
  ShiftedFactor factors[2];
  int current = 0;
  long lastUse = 0;
  // What K and Kg hold: the terms (sets alike in their coupling share a
  // pattern) and the scaled length; a length below 0 for nothing yet.
  std::vector<int> filledTerms;
  double filledLength = -1.0;
  Assembly(const StripSystem& system, const std::vector<std::pair<int, int>>& pairs, int count)
      : terms(system, pairs, count) {}
  ShiftedFactor& shift() { return factors[current]; }
  ShiftedFactor& other() { return factors[1 - current]; }
  // K and Kg of the terms at the length, filled unless they hold them already
  // (a group that noneBelow could not pass is solved at the same length).
  void fill(const StripSystem& system, const std::vector<int>& numbers, double aScaled) {
    if (aScaled == filledLength && numbers == filledTerms) return;
    filledLength = -1.0;  // until the fill is whole: it may run out of memory
    terms.fill(system, numbers, aScaled);
    filledTerms = numbers;
    filledLength = aScaled;
  }
};

// What the solver remembers of a set of terms: its last two values (of the
// factorised matrices) and its last mode (in the ordered freedoms).
struct BucklingSolver::Component {
  std::vector<double> lambdas;
  Eigen::VectorXd mode;

  double expected(double near) const {
    if (lambdas.empty()) return near;
    const double last = lambdas.back();
    if (lambdas.size() < 2) return last;
    // Falling, the next value is expected as far below as the last was.
    const double ratio = last / lambdas[lambdas.size() - 2];
    return ratio < 1 ? last * ratio : last;
  }
  void remember(double lambda, const Eigen::VectorXd& x) {
    lambdas.push_back(lambda);
    if (lambdas.size() > 2) lambdas.erase(lambdas.begin());
    mode = x;
  }
};

Result BucklingSolution::result() const {
  switch (status) {
    case SolveStatus::kConverged:
      return Result::success();
    case SolveStatus::kLengthOutOfRange:
    case SolveStatus::kStripsTooNarrow:
    case SolveStatus::kNoCompression:
      return Result::refused(reason);
    default:
      return Result::failed(reason);
  }
}

BucklingSolver::BucklingSolver(const StripSystem& system, SolverLimits limits)
    : system_(system), limits_(limits) {}
BucklingSolver::~BucklingSolver() = default;

void BucklingSolver::forget() { components_.clear(); }

BucklingSolver::Assembly& BucklingSolver::assemblyFor(const std::vector<int>& terms) {
  std::vector<std::pair<int, int>> coupled;
  for (std::size_t j = 0; j < terms.size(); ++j) {
    for (std::size_t k = j; k < terms.size(); ++k) {
      if (system_.termTable().coupled(terms[j], terms[k])) {
        coupled.emplace_back(static_cast<int>(j), static_cast<int>(k));
      }
    }
  }
  std::unique_ptr<Assembly>& found = assemblies_[coupled];
  const bool made = !found;
  if (made) found = std::make_unique<Assembly>(system_, coupled, static_cast<int>(terms.size()));
  found->lastUse = ++uses_;
  Assembly* assembly = found.get();
  // A member that takes one more term at a time leaves a pattern behind at
  // each: only the most recently used are kept (each is made again alike).
  while (made && assemblies_.size() > kKeptAssemblies) {
    auto oldest = assemblies_.begin();
    for (auto it = assemblies_.begin(); it != assemblies_.end(); ++it) {
      if (it->second->lastUse < oldest->second->lastUse) oldest = it;
    }
    assemblies_.erase(oldest);
  }
  return *assembly;
}

// Factorises at sigma, lowered (halved, at last to 0) while a lambda lies below it.
bool BucklingSolver::factoriseBelow(Assembly& assembly, double sigma) {
  for (int attempt = 1;; ++attempt) {
    if (assembly.terms.factorise(sigma, assembly.shift())) return true;
    if (sigma == 0.0) return false;
    sigma = attempt < 3 ? sigma / 2 : 0.0;
  }
}

// After a round that did not converge at lambda (above the lowest): a shift
// nearer to it, where K - sigma Kg is still positive definite.
void BucklingSolver::moveShift(Assembly& assembly, double lambda) {
  const double sigma = assembly.shift().sigma;
  for (double share : {kShiftApproach, 0.5}) {
    if (assembly.terms.factorise(sigma + share * (lambda - sigma), assembly.other())) {
      assembly.current = 1 - assembly.current;
      return;
    }
  }
  // Neither holds: the proven factorisation stays.
}

BucklingSolution BucklingSolver::solveComponent(double a, const std::vector<int>& terms,
                                                double near) {
  Assembly& assembly = assemblyFor(terms);
  TermAssembly& matrices = assembly.terms;
  std::unique_ptr<Component>& remembered = components_[terms];
  if (!remembered) remembered = std::make_unique<Component>();
  Component& component = *remembered;
  assembly.fill(system_, terms, a / system_.lengthScale());
  const double expected = component.expected(near);
  if (!factoriseBelow(assembly, expected > 0 ? kShiftShare * expected : 0.0)) {
    return withStatus(SolveStatus::kFactorisationFailed,
                      "the stiffness matrix is not positive definite in double precision");
  }
  const Eigen::VectorXd generic = genericVector(matrices.size());
  Eigen::VectorXd x = startVector(matrices, terms, component, generic);
  BucklingSolution solution;
  double lambda = 0, margin = kCheckMargin;
  for (int round = 0; round < limits_.rounds && margin <= kWidestCheckMargin; ++round) {
    const RitzPair ritz =
        largestEigenpair(matrices, assembly.shift(), matrices.toOperator(assembly.shift(), x),
                         limits_.stepsPerRound);
    solution.lanczosSteps += ritz.steps;
    if (!(ritz.theta > 0)) {
      return withStatus(SolveStatus::kNoCompression,
                        "no load factor above 0 exists: the stress compresses too little of the "
                        "section");
    }
    const double before = lambda;
    lambda = assembly.shift().sigma + 1 / ritz.theta;
    x = matrices.fromOperator(assembly.shift(), ritz.vector);
    if (!ritz.converged) {
      moveShift(assembly, lambda);
      continue;
    }
    valueFromStrains(matrices, a, terms, x, lambda, solution);
    if (solution.roundingShare > kMostRoundingShare) return beyondPrecision();
    // The check must reach beyond what rounding moved lambda.
    margin = std::max(margin, 2 * solution.roundingShare);
    const double checkShift = lambda * (1 - margin);
    if (checkShift <= assembly.shift().sigma || matrices.factorise(checkShift, assembly.other())) {
      component.remember(lambda, x);
      lastTerms_ = terms;
      lastMode_ = solution.mode;
      solution.status = SolveStatus::kConverged;
      solution.checkMargin = margin;
      return solution;
    }
    // A lower mode exists, or rounding hides that none does: start afresh;
    // the same value again widens the margin.
    if (std::fabs(lambda - before) <= kCheckMargin * lambda) margin *= 10;
    x = generic;
  }
  if (margin > kWidestCheckMargin) {
    return withStatus(SolveStatus::kNotConverged,
                      "a lower mode than the one found could not be excluded");
  }
  return withStatus(
      SolveStatus::kNotConverged,
      "the solve did not converge in " + std::to_string(solution.lanczosSteps) + " Lanczos steps");
}

// The remembered mode of the terms, or the last mode where the sets share
// terms, with a little of the generic vector that no symmetry keeps out of
// a mode; the generic vector alone without either.
Eigen::VectorXd BucklingSolver::startVector(const TermAssembly& matrices,
                                            const std::vector<int>& terms, Component& component,
                                            const Eigen::VectorXd& generic) const {
  if (component.mode.size() != matrices.size()) component.mode = lastModeFor(matrices, terms);
  if (component.mode.size() != matrices.size()) return generic;
  return component.mode / component.mode.norm() + 1e-3 * generic / generic.norm();
}

bool BucklingSolver::noneBelow(double a, const std::vector<int>& terms, double sigma) {
  Assembly& assembly = assemblyFor(terms);
  assembly.fill(system_, terms, a / system_.lengthScale());
  return assembly.terms.factorise(sigma, assembly.other());
}

BucklingSolution BucklingSolver::beyondPrecision() const {
  return withStatus(SolveStatus::kLengthOutOfRange,
                    "double precision does not carry the result: rounding moves "
                    "lambda by more than " +
                        formatReal(100 * kMostRoundingShare) + " % (strips as narrow as " +
                        formatReal(system_.narrowestStripShare()) + " t)");
}

// A start for a set of terms solved the first time: the last mode solved,
// term by term where the sets share terms (a member taking one term more),
// in the set's ordered freedoms; empty when they share none.
Eigen::VectorXd BucklingSolver::lastModeFor(const TermAssembly& matrices,
                                            const std::vector<int>& terms) const {
  const Eigen::Index block = 4 * static_cast<Eigen::Index>(system_.nodeCount());
  Eigen::VectorXd layout = Eigen::VectorXd::Zero(block * static_cast<Eigen::Index>(terms.size()));
  bool shared = false;
  for (std::size_t j = 0; j < terms.size(); ++j) {
    const auto found = std::find(lastTerms_.begin(), lastTerms_.end(), terms[j]);
    if (found == lastTerms_.end()) continue;
    const Eigen::Index from = block * (found - lastTerms_.begin());
    layout.segment(block * static_cast<Eigen::Index>(j), block) = lastMode_.segment(from, block);
    shared = true;
  }
  return shared && layout.squaredNorm() > 0 ? matrices.toOrdered(layout) : Eigen::VectorXd();
}

// The mode x (in the ordered freedoms) in the layout, and its value from
// the strains: the factor's lambda is that of the rounded matrices; the
// mode's Rayleigh quotient, with its energy from the strains, is exact to
// the square of the mode's error.
void BucklingSolver::valueFromStrains(const TermAssembly& matrices, double a,
                                      const std::vector<int>& terms, const Eigen::VectorXd& x,
                                      double lambda, BucklingSolution& s) const {
  s.terms = terms;
  s.mode = matrices.toLayout(x);
  s.lambda =
      system_.elasticEnergy(a / system_.lengthScale(), terms, s.mode) / matrices.geometricEnergy(x);
  s.roundingShare = std::fabs(s.lambda - lambda) / s.lambda;
}

BucklingSolution BucklingSolver::solve(double a, const std::vector<int>& terms, double near) {
  const double D = system_.lengthScale();
  if (!(a <= kLongestLengthPerSize * D) || !(a / terms.back() >= kShortestLengthPerSize * D)) {
    const bool longer = !(a <= kLongestLengthPerSize * D);
    return withStatus(
        SolveStatus::kLengthOutOfRange,
        "the length " + formatReal(a) + (longer ? " is beyond " : " is below ") +
            formatReal(longer ? kLongestLengthPerSize : kShortestLengthPerSize) +
            " D = " + formatReal((longer ? kLongestLengthPerSize : kShortestLengthPerSize) * D) +
            ", where double precision no longer carries the strip results");
  }
  if (system_.narrowestStripShare() < kNarrowestStripShare * (1 - 1e-9)) {
    return withStatus(SolveStatus::kStripsTooNarrow,
                      "a strip is " + formatReal(system_.narrowestStripShare()) +
                          " t wide, narrower than " + formatReal(kNarrowestStripShare) + " t");
  }
  if (!system_.finite()) {
    return withStatus(SolveStatus::kFactorisationFailed,
                      "the strip matrices overflow the range of numbers");
  }
  if (!system_.compressed()) {
    return withStatus(SolveStatus::kNoCompression, "the stress compresses no part of the section");
  }
  try {
    return solveGroups(a, terms, near);
  } catch (const std::bad_alloc&) {
    return withStatus(SolveStatus::kOutOfMemory, "out of memory");
  }
}

BucklingSolution BucklingSolver::solveGroups(double a, const std::vector<int>& terms, double near) {
  BucklingSolution best;
  // The group that was lowest at the last length first: the others then
  // mostly need only the factorisation that shows them higher.
  std::vector<std::vector<int>> groups = uncoupledGroups(system_.termTable(), terms);
  auto remembered = [this](const std::vector<int>& group) {
    const auto found = components_.find(group);
    return found == components_.end() || found->second->lambdas.empty()
               ? HUGE_VAL
               : found->second->lambdas.back();
  };
  std::stable_sort(groups.begin(), groups.end(),
                   [&](const std::vector<int>& x, const std::vector<int>& y) {
                     return remembered(x) < remembered(y);
                   });
  for (const std::vector<int>& group : groups) {
    // A group that has no lambda below the lowest so far (its matrix shifted
    // there is positive definite) needs no solve; one that has starts from
    // that value.
    if (best.converged() && noneBelow(a, group, best.lambda * (1 - best.checkMargin))) continue;
    const double hint = best.converged() ? best.lambda : near / system_.lambdaScale();
    BucklingSolution s = solveComponent(a, group, hint);
    if (!s.converged()) return s;
    const int steps = best.lanczosSteps + s.lanczosSteps;
    const double margin = std::max(best.checkMargin, s.checkMargin);
    if (!best.converged() || s.lambda < best.lambda) best = std::move(s);
    best.lanczosSteps = steps;
    best.checkMargin = margin;
  }
  // The mode of the lowest group, in the layout of all the terms.
  const Eigen::Index block = 4 * static_cast<Eigen::Index>(system_.nodeCount());
  Eigen::VectorXd mode = Eigen::VectorXd::Zero(block * static_cast<Eigen::Index>(terms.size()));
  for (std::size_t j = 0; j < best.terms.size(); ++j) {
    const Eigen::Index at = std::find(terms.begin(), terms.end(), best.terms[j]) - terms.begin();
    mode.segment(block * at, block) =
        best.mode.segment(block * static_cast<Eigen::Index>(j), block);
  }
  best.mode = mode;
  best.terms = terms;
  toFileUnits(system_, best);
  return best;
}

double solveBytes(double nodes, double strips, int terms, EndConditions ends) {
  // The largest group of coupled terms and how many terms each couples with.
  const double group = ends == EndConditions::SS   ? 1
                       : ends == EndConditions::CC ? (terms + 1) / 2
                                                   : terms;
  const double coupled = ends == EndConditions::CF ? group : std::min(group, 3.0);
  const double freedoms = 4 * nodes * group;
  const double lanczos = freedoms * 8.0 * (SolverLimits().stepsPerRound + 8);
  // The pattern's triplets, both triangles, and the slots, per strip and pair.
  const double pattern = strips * group * coupled * (2 * 64 * 16 + 64 * 4);
  // K, Kg, the shifted matrix, the full pattern and two factors: entries of
  // 12 bytes, each freedom coupled with those of two nodes in each term.
  const double matrices = freedoms * coupled * 8 * 12 * 6;
  // Every strip its own shape at the most: its pieces and strain shapes.
  const double shapes = strips * (kIntegralKinds + 5) * sizeof(StripMatrix);
  return lanczos + pattern + matrices + shapes;
}
