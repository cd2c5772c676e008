// The shares of the buckling modes of a strip system in the deformation
// spaces G, D, L and O (modal_spaces.h), for a signature curve's half-waves
// and for members of several terms with any end conditions.
//
// A mode of several terms is split term by term, each at its own wavenumber
// m pi / a, and the squared norms of its parts are added over the terms: the
// shares in a work norm that measures each term's amplitudes as a single
// term's (what ModalSpaceBuilder prepared for the terms with that
// block-diagonal norm gives, at a fraction of its cost). No space couples two
// terms, so each term's spaces are those of one term.
#pragma once

#include <Eigen/Core>
#include <vector>

#include "platform/result.h"
#include "strip/buckling_solver.h"
#include "strip/modal_spaces.h"

class ModeClassifier {
 public:
  // The spaces of the system's model, once. Refused as findFolds refuses (a
  // closed cell, parts that do not touch).
  Result prepare(const StripSystem& system);
  bool prepared() const { return builder_.termCount() > 0; }
  const ModalSpaceBuilder& spaces() const { return builder_; }

  // The shares of a mode of the system: in the file's units as the solver
  // gives it (BucklingSolution::mode), of the terms (numbers from 1, in the
  // mode's order) on a member or half-wave of length a in the file's units.
  Result sharesOf(const Eigen::VectorXd& mode, const std::vector<int>& terms, double a,
                  ModeShares& shares) const;
  Result sharesOf(const BucklingSolution& solution, double a, ModeShares& shares) const {
    return sharesOf(solution.mode, solution.terms, a, shares);
  }

 private:
  ModalSpaceBuilder builder_;
  double D_ = 1.0;
};
