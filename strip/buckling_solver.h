// The lowest buckling load factor of a strip problem and its mode: the
// smallest lambda above 0 of K phi = lambda Kg phi for a set of longitudinal
// terms on a member length, with a status that says whether the numbers mean
// anything.
//
// Method: a shift sigma below lambda (from the previous lengths' values),
// the sparse Cholesky factor of K - sigma Kg (block_cholesky.h: its pattern
// and order fixed once per set of terms), and Lanczos iteration with full
// reorthogonalisation on L^-1 Kg L^-T from the previous length's mode; its
// largest eigenvalue is 1 / (lambda - sigma) (the shift-and-invert spectral
// transformation of Ericsson and Ruhe 1980). A solve is converged only when
// the Ritz pair's residual is small and a second factorisation, of
// K - lambda (1 - margin) Kg, succeeds: K - s Kg (K positive definite) is
// positive definite exactly when no lambda lies in (0, s] (Sylvester's law
// of inertia), so no lower mode was missed. The value given is the mode's
// Rayleigh quotient with its elastic energy from the strips' strains; where
// it differs from the factor's by more than 0.5 %, the rounding of the
// matrices decides and there is no value. Terms that no integral couples
// (every S-S term, the odd and even C-C terms) are separate problems; one
// whose matrix shifted to the lowest value of those before is positive
// definite needs no solve.
#pragma once

#include <Eigen/Core>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/result.h"
#include "strip/strip_system.h"

class TermAssembly;

enum class SolveStatus {
  kConverged,
  kNotConverged,
  kFactorisationFailed,
  kLengthOutOfRange,
  kStripsTooNarrow,
  kNoCompression,  // the stress compresses no node: no lambda above 0 exists
  kOutOfMemory,
};

struct BucklingSolution {
  SolveStatus status = SolveStatus::kNotConverged;
  std::string reason;  // why, in words, for every status but converged
  int lanczosSteps = 0;
  double lambda = 0.0;
  // No lambda lies below lambda (1 - checkMargin): the share that the
  // factorisation of the check could resolve.
  double checkMargin = 0.0;
  // How far the rounding of the assembled matrices moved lambda, as a share
  // of it: the factor's lambda against the mode's energy from its strains.
  double roundingShare = 0.0;  // the file's lambda (for the stresses as given), when converged
  // The mode in the layout of the terms (strip_system.h), in the file's
  // units: displacements in its length unit, theta in radians; the largest
  // displacement 1 and positive.
  Eigen::VectorXd mode;
  std::vector<int> terms;          // the terms of the mode, in order
  std::vector<double> termShares;  // each term's share of the mode's squared norm, summing to 1

  bool converged() const { return status == SolveStatus::kConverged; }
  // Success when converged; else refused (length, strips, no compression) or
  // failed (no convergence, factorisation, memory), with the reason.
  Result result() const;
};

// The range of member lengths (and half-wavelengths) over which double
// precision carries the strip results, in multiples of the section's size D.
const double kLongestLengthPerSize = 500;
const double kShortestLengthPerSize = 1e-4;

// The Lanczos steps of one round and the rounds that a solve may take.
struct SolverLimits {
  int stepsPerRound = 60;
  int rounds = 8;
};

class BucklingSolver {
 public:
  // The system must outlive the solver.
  explicit BucklingSolver(const StripSystem& system, SolverLimits limits = {});
  ~BucklingSolver();
  BucklingSolver(const BucklingSolver&) = delete;
  BucklingSolver& operator=(const BucklingSolver&) = delete;

  // The lowest lambda of the terms (numbers from 1, increasing) on a member
  // of length a (the file's units). The solver remembers each set of terms'
  // last modes and values and starts the next solve of it from them, so
  // that a curve's neighbouring lengths converge in few steps; near, when
  // above 0, is a value close to the answer for a set solved for the first
  // time. Neither changes the answer, only the steps.
  BucklingSolution solve(double a, const std::vector<int>& terms, double near = 0.0);

  // Forgets the remembered modes and values.
  void forget();

 private:
  struct Component;
  struct Assembly;
  BucklingSolution solveComponent(double a, const std::vector<int>& terms, double near);
  BucklingSolution solveGroups(double a, const std::vector<int>& terms, double near);
  Assembly& assemblyFor(const std::vector<int>& terms);
  bool factoriseBelow(Assembly& assembly, double sigma);
  bool noneBelow(double a, const std::vector<int>& terms, double sigma);
  void moveShift(Assembly& assembly, double lambda);
  Eigen::VectorXd startVector(const TermAssembly& matrices, const std::vector<int>& terms,
                              Component& component, const Eigen::VectorXd& generic) const;
  BucklingSolution beyondPrecision() const;
  Eigen::VectorXd lastModeFor(const TermAssembly& matrices, const std::vector<int>& terms) const;
  void valueFromStrains(const TermAssembly& matrices, double a, const std::vector<int>& terms,
                        const Eigen::VectorXd& x, double lambda, BucklingSolution& s) const;

  const StripSystem& system_;
  SolverLimits limits_;
  std::map<std::vector<std::pair<int, int>>, std::unique_ptr<Assembly>> assemblies_;
  long uses_ = 0;
  std::map<std::vector<int>, std::unique_ptr<Component>> components_;
  std::vector<int> lastTerms_;  // of the last group solved
  Eigen::VectorXd lastMode_;    // its mode, in the layout of its terms, solved units
};

// The memory that a solve of a model of these counts with this many
// longitudinal terms takes at the most, in bytes (an estimate from above),
// and the bound that a run keeps below.
double solveBytes(double nodes, double strips, int terms, EndConditions ends);
const double kMostSolveBytes = 2e9;
