// The signature curve of a member: the lowest load factor at each of a range
// of half-wavelengths (simply supported ends, one half-wave), and its minima
// (for a lipped section the local and the distortional buckling loads).
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "strip/buckling_solver.h"
#include "strip/minimum_search.h"

// count lengths from first to last, evenly spaced on a logarithmic scale:
// L_i = first (last / first)^(i / (count - 1)).
std::vector<double> halfWavelengths(double first, double last, int count);

// One length of a curve: its lambda when the solve converged, else the
// status and its reason.
struct CurvePoint {
  double length = 0.0;
  SolveStatus status = SolveStatus::kNotConverged;
  std::string reason;
  double lambda = 0.0;
  int termsUsed = 0;          // a member: the terms of its solve
  std::vector<int> dominant;  // a member: the terms that dominate its mode
  bool converged() const { return status == SolveStatus::kConverged; }
};

struct CurveMinimum {
  double length = 0.0;
  double lambda = 0.0;
  BucklingSolution solution;  // at the minimum, with its mode
};

struct SignatureCurve {
  std::vector<CurvePoint> points;    // one per length, in order
  std::vector<CurveMinimum> minima;  // in order of length
  // Solves that failed while a minimum was refined (the minimum is then the
  // best length reached).
  std::vector<CurvePoint> refinementFailures;
  BucklingSolution last;  // at the longest length, with its mode
};

// Called after each solve, so that a long run can show its progress.
using Progress = std::function<void()>;

// The curve of an S-S system at the lengths. With findMinima, each length
// whose lambda is below both neighbours (never the first or the last) is
// refined between them (Brent's parabolic search on log L) until the
// bracket is within 0.1 % in L.
SignatureCurve signatureCurve(BucklingSolver& solver, const std::vector<double>& lengths,
                              bool findMinima, const Progress& progress = {});

// The terms whose share of a mode is at least half the largest, in order.
std::vector<int> dominantTerms(const BucklingSolution& solution);
