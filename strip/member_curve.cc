#include "strip/member_curve.h"

#include <cmath>
#include <numeric>
#include <string>

#include "archive/numbers.h"

namespace {

// The S-S scan stops once the values have risen this far above the lowest.
const double kScanRise = 2.0;
// The terms that come within this share of the lowest S-S value are the
// start of the other end conditions' terms.
const double kScanReach = 1.2;

std::vector<int> firstTerms(int count) {
  std::vector<int> terms(static_cast<std::size_t>(count));
  std::iota(terms.begin(), terms.end(), 1);
  return terms;
}

BucklingSolution tooManyTerms(double a) {
  BucklingSolution s;
  s.status = SolveStatus::kNotConverged;
  s.reason = "the member of length " + formatReal(a) + " needs more than " +
             std::to_string(kMostDefaultTerms) + " terms by the default rule; give --terms";
  return s;
}

}  // namespace

MemberSolver::MemberSolver(const StripModel& model, const StressField& stress, EndConditions ends)
    : model_(model), stress_(stress), ends_(model, stress, ends), endsSolver_(ends_) {}

BucklingSolver& MemberSolver::simpleSolver() {
  if (ends_.ends() == EndConditions::SS) return endsSolver_;
  if (!simpleSolver_) {
    simple_ = std::make_unique<StripSystem>(model_, stress_, EndConditions::SS);
    simpleSolver_ = std::make_unique<BucklingSolver>(*simple_);
  }
  return *simpleSolver_;
}

MemberSolver::Scan MemberSolver::scanSingleTerms(double a, int most, bool stopOnRise,
                                                 const Progress& progress) {
  Scan scan;
  std::vector<double> values;
  const double shortest = kShortestLengthPerSize * ends_.lengthScale();
  for (int m = 1; m <= most && a / m >= shortest; ++m) {
    BucklingSolution s = simpleSolver().solve(a, {m});
    if (progress) progress();
    if (!s.converged()) {
      scan.best = std::move(s);
      return scan;
    }
    values.push_back(s.lambda);
    scan.lastTerm = m;
    if (!scan.best.converged() || s.lambda < scan.best.lambda) scan.best = std::move(s);
    const std::size_t n = values.size();
    if (stopOnRise && n >= 3 && values[n - 1] >= kScanRise * scan.best.lambda &&
        values[n - 1] > values[n - 2] && values[n - 2] > values[n - 3]) {
      break;
    }
  }
  for (std::size_t m = 0; m < values.size(); ++m) {
    if (values[m] <= kScanReach * scan.best.lambda) scan.reachTerm = static_cast<int>(m) + 1;
  }
  return scan;
}

MemberBuckling MemberSolver::solve(double a, int terms, const Progress& progress) {
  if (ends_.ends() == EndConditions::SS) {
    const bool fixed = terms > 0;
    Scan scan = scanSingleTerms(a, fixed ? terms : kMostDefaultTerms, !fixed, progress);
    if (!fixed && scan.best.converged() && scan.lastTerm == kMostDefaultTerms) {
      return {tooManyTerms(a), scan.lastTerm};
    }
    return {std::move(scan.best), scan.lastTerm};
  }
  if (terms > 0) {
    BucklingSolution s = endsSolver_.solve(a, firstTerms(terms));
    if (progress) progress();
    return {std::move(s), terms};
  }
  Scan scan = scanSingleTerms(a, kMostDefaultTerms, true, progress);
  if (!scan.best.converged()) return {std::move(scan.best), 0};
  int count = std::min(scan.reachTerm + 1, kMostDefaultTerms);
  BucklingSolution current = endsSolver_.solve(a, firstTerms(count), scan.best.lambda);
  if (progress) progress();
  int settled = 0;
  while (current.converged() && settled < 2) {
    if (count == kMostDefaultTerms) return {tooManyTerms(a), count};
    BucklingSolution next = endsSolver_.solve(a, firstTerms(++count), current.lambda);
    if (progress) progress();
    if (!next.converged()) return {std::move(next), count};
    settled =
        std::fabs(next.lambda - current.lambda) < kTermTolerance * current.lambda ? settled + 1 : 0;
    current = std::move(next);
  }
  return {std::move(current), count};
}

CurvePoint memberPoint(double a, const MemberBuckling& member) {
  const BucklingSolution& s = member.solution;
  CurvePoint p;
  p.length = a;
  p.status = s.status;
  p.reason = s.reason;
  p.lambda = s.lambda;
  p.termsUsed = member.termsUsed;
  if (s.converged()) p.dominant = dominantTerms(s);
  return p;
}

std::vector<CurvePoint> MemberSolver::curve(const std::vector<double>& lengths, int terms,
                                            const Progress& progress) {
  std::vector<CurvePoint> points;
  for (double a : lengths) {
    points.push_back(memberPoint(a, solve(a, terms, progress)));
  }
  return points;
}
