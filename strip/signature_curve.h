// The signature curve of a member: the lowest load factor at each of a range
// of half-wavelengths, and its minima (for a lipped section the local and the
// distortional buckling loads).
#pragma once

#include <functional>
#include <vector>

#include "strip/finite_strip.h"

// count lengths from first to last, evenly spaced on a logarithmic scale:
// L_i = first (last / first)^(i / (count - 1)).
std::vector<double> halfWavelengths(double first, double last, int count);

struct CurveMinimum {
  double length = 0.0;
  double lambda = 0.0;
};

struct SignatureCurve {
  std::vector<double> lambdas;       // one per length
  std::vector<CurveMinimum> minima;  // in order of length
};

// Called after each solve with the number of solves done, so that a long
// run can show its progress.
using Progress = std::function<void()>;

// The curve at the lengths and its minima: a length whose lambda is below
// both neighbours (never the first or the last), refined between its
// neighbours until the bracket is within 0.1 % in L.
SignatureCurve signatureCurve(const StripModel& model, const StressField& stress,
                              const std::vector<double>& lengths, const Progress& progress = {});
