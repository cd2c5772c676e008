// The buckling of members of given lengths with their end conditions: the
// lowest load factor of each length over a sum of longitudinal terms, with
// the number of terms chosen until one more no longer changes it.
#pragma once

#include <memory>
#include <vector>

#include "strip/signature_curve.h"

// One more term changes lambda by less than this share when the default
// number of terms is reached.
const double kTermTolerance = 1e-3;
// The default never takes more terms than this; a member that would need
// more says so.
const int kMostDefaultTerms = 200;

struct MemberBuckling {
  BucklingSolution solution;
  int termsUsed = 0;  // the terms the solve took (for S-S, the single terms scanned)
};

// The point of a member curve at length a: its status, lambda, terms and
// the terms that dominate its mode.
CurvePoint memberPoint(double a, const MemberBuckling& member);

class MemberSolver {
 public:
  // The model must be one that buildStripModel accepts; it must outlive the solver.
  MemberSolver(const StripModel& model, const StressField& stress, EndConditions ends);
  MemberSolver(const MemberSolver&) = delete;
  MemberSolver& operator=(const MemberSolver&) = delete;

  // The lowest lambda of a member of length a. terms > 0: the terms 1 ...
  // terms. terms == 0, the default: for S-S (whose terms no integral
  // couples) the lowest of the single terms, each the signature curve at
  // a / m, taken up the terms until the values rise to twice the lowest;
  // for the other end conditions, the terms 1 ... M up to one past the last
  // S-S term that comes within 20 % of the lowest, then one more at a time
  // until two in a row change lambda by less than kTermTolerance. The
  // solution's terms are those of its mode's layout.
  MemberBuckling solve(double a, int terms, const Progress& progress = {});

  // solve at each length in turn.
  std::vector<CurvePoint> curve(const std::vector<double>& lengths, int terms,
                                const Progress& progress = {});

  const StripSystem& system() const { return ends_; }

 private:
  struct Scan {
    BucklingSolution best;
    int lastTerm = 0;   // the terms scanned
    int reachTerm = 0;  // the last within 20 % of the lowest
  };
  Scan scanSingleTerms(double a, int most, bool stopOnRise, const Progress& progress);

  BucklingSolver& simpleSolver();

  const StripModel& model_;
  const StressField stress_;
  StripSystem ends_;
  BucklingSolver endsSolver_;
  // The S-S system whose single terms the default scans; the ends' own
  // when they are S-S, else made when first needed.
  std::unique_ptr<StripSystem> simple_;
  std::unique_ptr<BucklingSolver> simpleSolver_;
};
