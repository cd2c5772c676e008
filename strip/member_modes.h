// The modes of a member curve: at each member length the shares of its
// mode in G, D, L and O over all its terms (mode_shares.h) and its name, and
// the member's global value: the lowest global mode among the lengths, or
// where none is global, the pure global problem of the longest member (the
// buckling of the member as a whole, its local and distortional modes
// held).
#pragma once

#include <string>
#include <vector>

#include "strip/member_curve.h"
#include "strip/mode_naming.h"

struct MemberModePoint {
  CurvePoint point;  // as MemberSolver::curve gives it
  bool hasShares = false;
  ModeShares shares;
  ModeName name = ModeName::mixed;
};

struct MemberModes {
  std::vector<MemberModePoint> points;
  std::string noShares;  // why there are none (a closed section), else empty
  FoundMode global;      // source memberLength or pureMode; none: missing says why
  std::string missing;
};

// terms: as MemberSolver::solve takes them (0: the default rule).
MemberModes memberModes(const StripModel& model, const StressField& stress, EndConditions ends,
                        const std::vector<double>& lengths, int terms,
                        const Progress& progress = {});
