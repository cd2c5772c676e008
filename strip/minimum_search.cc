#include "strip/minimum_search.h"

#include <cmath>

namespace {

const double kGoldenShare = 0.3819660112501051;  // 1 - 1 / golden ratio
const int kMostSolves = 60;

}  // namespace

LengthMinimum minimumBetween(const LengthFunction& f, double lo, double hi, double x0, double f0) {
  double a = std::log(lo), b = std::log(hi), x = std::log(x0), w = x, v = x;
  double fx = f0, fw = fx, fv = fx;
  const double tol = std::log1p(kLengthTolerance) / 4;
  double d = 0, e = 0;
  bool failed = false;
  for (int solves = 0; solves < kMostSolves; ++solves) {
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
    if (!f(std::exp(u), fu)) {
      failed = true;
      break;
    }
    if (fu <= fx) {
      (u >= x ? a : b) = x;
      v = w, fv = fw, w = x, fw = fx, x = u, fx = fu;
    } else {
      (u < x ? a : b) = u;
      if (fu <= fw || w == x) {
        v = w, fv = fw, w = u, fw = fu;
      } else if (fu <= fv || v == x || v == w) {
        v = u, fv = fu;
      }
    }
  }
  return {std::exp(x), fx, failed};
}

NearMinimum minimumNear(const LengthFunction& f, double x, double fx, double ratio, int steps) {
  NearMinimum near;
  double below = 0, above = 0;
  if (!f(x / ratio, below) || !f(x * ratio, above)) return near;
  double lo = x / ratio, hi = x * ratio;
  for (int step = 0; step < steps && !(fx <= below && fx <= above); ++step) {
    // Move the three points one step down the falling side.
    double next = 0;
    if (below < above) {
      if (!f(lo / ratio, next)) return near;
      hi = x, above = fx, x = lo, fx = below, lo /= ratio, below = next;
    } else {
      if (!f(hi * ratio, next)) return near;
      lo = x, below = fx, x = hi, fx = above, hi *= ratio, above = next;
    }
  }
  if (!(fx <= below && fx <= above)) return near;
  near.minimum = minimumBetween(f, lo, hi, x, fx);
  near.found = !near.minimum.failed;
  return near;
}
