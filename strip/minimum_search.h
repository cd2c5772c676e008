// The search for a minimum of lambda along the length: between a bracket
// (Brent's parabolic search on log L), and the bracket found near a length.
// Used for the minima of a signature curve, of a pure curve and of the
// finer meshes that converge a minimum.
#pragma once

#include <functional>

// lambda at a length; false when there is none (the solve failed).
using LengthFunction = std::function<bool(double length, double& lambda)>;

// Minima are refined until the bracket is within this share in L.
const double kLengthTolerance = 1e-3;

struct LengthMinimum {
  double length = 0.0;
  double lambda = 0.0;
  bool failed = false;  // a solve failed: the best length reached
};

// The minimum of f in (lo, hi) from x inside, f(x) = fx below f at both
// ends: Brent's search on log L, parabolic steps through the three best
// points where they fall inside and shrink the bracket fast enough,
// golden-section steps where not (Brent 1973, "Algorithms for minimization
// without derivatives"), until the bracket is within kLengthTolerance.
LengthMinimum minimumBetween(const LengthFunction& f, double lo, double hi, double x, double fx);

// The minimum of f near x (f(x) = fx): the bracket widened from x by steps
// of ratio `ratio` down the falling side, at most `steps` of them, then
// minimumBetween. found is false when no bracket was found (f keeps falling)
// or a solve failed before.
struct NearMinimum {
  LengthMinimum minimum;
  bool found = false;
};
NearMinimum minimumNear(const LengthFunction& f, double x, double fx, double ratio, int steps);
