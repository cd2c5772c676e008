#include "strip/signature_curve.h"

#include <algorithm>
#include <cmath>

namespace {

const double kLengthTolerance = 1e-3;            // relative, in L
const double kGoldenShare = 0.3819660112501051;  // 1 - 1 / golden ratio
const int kMostRefinementSolves = 60;

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

// Brent's search for the minimum of lambda(log L) in (lo, hi) from the
// bracket's middle x: parabolic steps through the three best points where
// they fall inside and shrink the bracket fast enough, golden-section steps
// where not (Brent 1973, "Algorithms for minimization without derivatives").
class MinimumSearch {
 public:
  MinimumSearch(BucklingSolver& solver, const Progress& progress, SignatureCurve& curve)
      : solver_(solver), progress_(progress), curve_(curve) {}

  CurveMinimum find(double lo, double hi, double x, const BucklingSolution& atX);

 private:
  bool evaluate(double u, double& fu, BucklingSolution& s) {
    s = solver_.solve(std::exp(u), {1});
    if (progress_) progress_();
    if (!s.converged()) curve_.refinementFailures.push_back(pointOf(std::exp(u), s));
    fu = s.lambda;
    return s.converged();
  }

  BucklingSolver& solver_;
  const Progress& progress_;
  SignatureCurve& curve_;
};

CurveMinimum MinimumSearch::find(double lo, double hi, double x0, const BucklingSolution& atX) {
  double a = std::log(lo), b = std::log(hi), x = std::log(x0), w = x, v = x;
  double fx = atX.lambda, fw = fx, fv = fx;
  BucklingSolution best = atX;
  const double tol = std::log1p(kLengthTolerance) / 4;
  double d = 0, e = 0;
  for (int solves = 0; solves < kMostRefinementSolves; ++solves) {
    const double middle = (a + b) / 2;
    if (std::fabs(x - middle) <= 2 * tol - (b - a) / 2) break;
    bool golden = true;
    if (std::fabs(e) > tol) {
      double r = (x - w) * (fx - fv), q = (x - v) * (fx - fw), p = (x - v) * q - (x - w) * r;
      q = 2 * (q - r);
      if (q > 0) p = -p;
      q = std::fabs(q);
      const double before = e;
      e = d;
      if (std::fabs(p) < std::fabs(q * before / 2) && p > q * (a - x) && p < q * (b - x)) {
        d = p / q;
        golden = false;
        const double u = x + d;
        if (u - a < 2 * tol || b - u < 2 * tol) d = middle > x ? tol : -tol;
      }
    }
    if (golden) {
      e = x >= middle ? a - x : b - x;
      d = kGoldenShare * e;
    }
    const double u = std::fabs(d) >= tol ? x + d : x + (d > 0 ? tol : -tol);
    double fu = 0;
    BucklingSolution s;
    if (!evaluate(u, fu, s)) break;
    if (fu <= fx) {
      (u >= x ? a : b) = x;
      v = w, fv = fw, w = x, fw = fx, x = u, fx = fu;
      best = std::move(s);
    } else {
      (u < x ? a : b) = u;
      if (fu <= fw || w == x) {
        v = w, fv = fw, w = u, fw = fu;
      } else if (fu <= fv || v == x || v == w) {
        v = u, fv = fu;
      }
    }
  }
  return {std::exp(x), fx, best};
}

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
  return curve;
}
