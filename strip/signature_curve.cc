#include "strip/signature_curve.h"

#include <algorithm>
#include <cmath>

namespace {

CurvePoint pointOf(double length, const BucklingSolution& s) {
  CurvePoint p;
  p.length = length;
  p.status = s.status;
  p.reason = s.reason;
  p.lambda = s.lambda;
  p.termsUsed = static_cast<int>(s.terms.size());
  if (s.converged()) p.dominant = dominantTerms(s);
  return p;
}

// The search of a minimum of the curve, each failed solve kept with the curve.
class MinimumSearch {
 public:
  MinimumSearch(BucklingSolver& solver, const Progress& progress, SignatureCurve& curve)
      : solver_(solver), progress_(progress), curve_(curve) {}

  CurveMinimum find(double lo, double hi, double x, const BucklingSolution& atX) {
    BucklingSolution best = atX;
    const LengthFunction f = [&](double L, double& lambda) {
      BucklingSolution s = solver_.solve(L, {1});
      if (progress_) progress_();
      if (!s.converged()) curve_.refinementFailures.push_back(pointOf(L, s));
      lambda = s.lambda;
      const bool converged = s.converged();
      if (converged && s.lambda <= best.lambda) best = std::move(s);
      return converged;
    };
    const LengthMinimum m = minimumBetween(f, lo, hi, x, atX.lambda);
    return {m.length, m.lambda, best};
  }

 private:
  BucklingSolver& solver_;
  const Progress& progress_;
  SignatureCurve& curve_;
};

}  // namespace

std::vector<double> halfWavelengths(double first, double last, int count) {
  std::vector<double> lengths;
  for (int i = 0; i < count; ++i) {
    lengths.push_back(i == 0 ? first
                      : i + 1 == count
                          ? last
                          : first * std::pow(last / first, static_cast<double>(i) / (count - 1)));
  }
  return lengths;
}

std::vector<int> dominantTerms(const BucklingSolution& solution) {
  const double largest =
      solution.termShares.empty()
          ? 0.0
          : *std::max_element(solution.termShares.begin(), solution.termShares.end());
  std::vector<int> terms;
  for (std::size_t j = 0; j < solution.terms.size(); ++j) {
    if (solution.termShares[j] >= largest / 2) terms.push_back(solution.terms[j]);
  }
  return terms;
}

SignatureCurve signatureCurve(BucklingSolver& solver, const std::vector<double>& lengths,
                              bool findMinima, const Progress& progress) {
  SignatureCurve curve;
  MinimumSearch search(solver, progress, curve);
  BucklingSolution last;  // at the length before
  for (std::size_t i = 0; i < lengths.size(); ++i) {
    BucklingSolution here = solver.solve(lengths[i], {1});
    if (progress) progress();
    curve.points.push_back(pointOf(lengths[i], here));
    // A minimum is refined as soon as it is bracketed, while the solver
    // still holds the modes of its neighbourhood.
    const std::vector<CurvePoint>& p = curve.points;
    if (findMinima && i >= 2 && p[i - 2].converged() && p[i - 1].converged() && p[i].converged() &&
        p[i - 1].lambda < p[i - 2].lambda && p[i - 1].lambda < p[i].lambda) {
      curve.minima.push_back(search.find(lengths[i - 2], lengths[i], lengths[i - 1], last));
    }
    last = std::move(here);
  }
  curve.last = std::move(last);
  return curve;
}
