// The buckling modes that a signature curve offers (its minima, the value
// at its longest length, the minima of pure curves), named by their
// largest share; which of them are the local, distortional and global
// buckling values; and how a mode is followed from one section to another
// by its shape rather than by its place along the curve.
#pragma once

#include <Eigen/Core>
#include <array>
#include <vector>

#include "strip/modal_spaces.h"
#include "strip/mode_identity.h"
#include "strip/strip_model.h"

enum class ModeSource { none, minimum, pureMode, longestLength, memberLength };

// "minimum", "pure mode", "longest length", "member length"; "-" for none.
const char* sourceText(ModeSource source);

// A mode found on the curve's mesh.
struct FoundMode {
  ModeSource source = ModeSource::none;
  double length = 0.0;
  double lambda = 0.0;  // the file's
  ModeShares shares;
  ModeName name = ModeName::mixed;
  Eigen::VectorXd mode;      // one term, in the file's units (BucklingSolution::mode)
  unsigned pureClasses = 0;  // the spaces of a pure mode
};

// The modes that the table names, in its order.
const std::array<ModeName, 3> kNamedModes = {ModeName::local, ModeName::distortional,
                                             ModeName::global};
// The spaces of each named mode's pure problem (ModeClass flags).
unsigned spaceOf(ModeName name);
// 'G', 'D', 'L' or 'O' for one space; 0 for any other flags.
char spaceLetter(unsigned space);

struct MinimaNames {
  std::array<int, 3> chosen = {-1, -1, -1};  // per named mode, the candidate; -1: none
  std::vector<int> further;                  // minima of a name that are not the lowest of it
  std::vector<int> mixed;                    // minima without a name
};

// Names the candidates: the minima of a curve in order of length, and the
// value at its longest length (source longestLength). Each minimum is named
// by nameOf; local and distortional are the lowest minimum of their name,
// global the lowest global candidate of either kind. Every other named
// minimum is further, every unnamed one mixed, in order of length.
MinimaNames nameMinima(const std::vector<FoundMode>& candidates);

// Which candidate of another section is the mode `first` of the first
// section: of those that sameMode finds the same (the largest share the
// same, deformations alike), the most alike; index -1 when none is. The
// two sections lie in the same axes.
struct FollowedMode {
  int index = -1;
  double likeness = 0.0;  // of the candidate found, or the best of all when none is
};
FollowedMode followMode(const StripModel& firstModel, const FoundMode& first,
                        const StripModel& model, const std::vector<FoundMode>& candidates);
