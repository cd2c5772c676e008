// The buckling problem reduced to one deformation space of the constrained
// finite strip method or a sum of them: K_R = R^T K R, Kg_R = R^T Kg R with
// R the columns spanning the spaces, and its lowest positive load factor.
// A reduced problem can only be stiffer: a pure curve is never below the
// full curve at the same length.
//
// The global space forbids transverse membrane strain, which makes a
// member's plates act with E / (1 - MUE^2) where the classical member
// theory has E. The pure global problem is therefore solved without Poisson
// coupling (MUE taken as 0, E and G kept): it then gives the classical
// flexural, torsional and flexural-torsional critical stresses (the
// modified constrained method of Ádány and Schafer, 2006).
#pragma once

#include <Eigen/Dense>
#include <Eigen/Sparse>

#include "platform/result.h"
#include "strip/modal_spaces.h"
#include "strip/strip_system.h"

struct PureMode {
  double lambda = 0.0;   // the file's, for the stresses as given
  Eigen::VectorXd mode;  // in the layout of the system's solved units, largest entry 1
};

// The lowest positive lambda of K phi = lambda Kg phi with phi in the span
// of basis. Refused when the basis is empty or when no positive lambda
// exists (the stresses nowhere compress the space).
Result solveReduced(const Eigen::SparseMatrix<double>& K, const Eigen::SparseMatrix<double>& Kg,
                    const Eigen::MatrixXd& basis, PureMode& pure);

// A pure mode (solved units) in the file's units as the solver gives its
// modes: displacements times the system's lengthScale(), the largest 1 and
// positive, theta in radians.
Eigen::VectorXd inFileUnits(const Eigen::VectorXd& solved, const StripSystem& system);

// The model as the pure global problem solves it: MUE 0, E and G kept.
StripModel withoutPoissonCoupling(const StripModel& model);

// The material law of a pure problem: the plates' own (the reduced problem
// of the full one, never below it), or the member theory's for the global
// space alone (without Poisson coupling: the classical values, which at
// long lengths lie up to about 3e-4 below the full curve, whose plates keep
// the coupling that the member theory drops).
enum class PureLaw { plates, memberForGlobal };

// The pure problem of the given spaces (ModeClass flags) at the
// half-wavelength L (the file's units), reducing the K and Kg of an S-S
// system, with the spaces of a builder prepared for the system's scaled()
// model with one term; lambda in the file's units. The system's material is
// the law. Refused, naming the space, when it is empty (a plain channel has
// no distortional space) or not compressed, and when the builder was
// prepared for another number of nodes or of terms.
Result pureModeAt(const ModalSpaceBuilder& spaces, const StripSystem& system, double L,
                  unsigned classes, PureMode& pure);

// The same for a member of length a with the terms (numbers from 1,
// increasing) of a system of any end conditions: each term held to the
// spaces at its own wavenumber m pi / a, the terms coupled as the system
// couples them.
Result pureMemberModeAt(const ModalSpaceBuilder& spaces, const StripSystem& system, double a,
                        const std::vector<int>& terms, unsigned classes, PureMode& pure);

// The pure problems of one model and load at any half-wavelength: the
// spaces prepared once, the systems of both laws made once.
class PureModeSolver {
 public:
  // The model must be one that buildStripModel accepts.
  PureModeSolver(const StripModel& model, const StressField& stress);
  // With the spaces prepared for the model's system's scaled() model
  // already (a ModeClassifier's): no prepare needed.
  PureModeSolver(const StripModel& model, const StressField& stress,
                 const ModalSpaceBuilder& prepared);
  // Refused as findFolds refuses.
  Result prepare();
  // Refused as pureModeAt refuses, and before prepare succeeded.
  Result solve(double L, unsigned classes, PureMode& pure,
               PureLaw law = PureLaw::memberForGlobal) const;
  const StripSystem& system() const { return plates_; }
  const ModalSpaceBuilder& spaces() const { return spaces_; }

 private:
  StripSystem plates_;
  StripSystem member_;
  ModalSpaceBuilder spaces_;
};

// The same for one length, everything made here. A curve uses a PureModeSolver.
Result pureModeAt(const StripModel& model, const StressField& stress, double L, unsigned classes,
                  PureMode& pure, PureLaw law = PureLaw::memberForGlobal);
