// The types of the corner rounding, whose operations are members of
// CrossSection (roundCorners, isCorner, computeCornerArc, ...). Include this
// header to call them.
#pragma once

#include <vector>

#include "archive/result.h"
#include "section/cross_section.h"

// The arc plates per corner when the engineer asks for no other number.
const int kDefaultElementsPerCorner = 4;

// The most plates a rounding makes; beyond it a mistyped count is refused
// instead of exhausting the memory.
const long long kMaxRoundedPlates = 20000000;

// The plates that meet at a node: indices into the per-plate lists, -1 if none.
struct NodePlates {
  int outgoing = -1;  // the plate whose start node is the node
  int incoming = -1;  // the plate whose end node is the node
};

// The turn from one plate direction to the next, alpha_in - alpha_out in
// degrees, taken the short way round: in (-180, 180].
double shortTurn(double incomingAngle, double outgoingAngle);

// The circular arc that replaces one corner.
struct CornerArc {
  int elementCount = 0;        // number of arc plates
  double tangentLength = 0.0;  // corner node to each tangent point, along the plates
  double elementLength = 0.0;  // chord of one arc segment
  double angleStep = 0.0;      // change of direction between arc plates, degrees
  bool fits = false;           // both plates are long enough for the tangent length
};

// What a rounding pass reports besides the changed section.
struct RoundingReport {
  Result accepted = Result::success();  // failure: the section was left unchanged
  // Node numbers (loaded section) of the corners that the radius does not fit.
  // When there is one, the section is left unchanged: a section is rounded
  // whole or not at all.
  std::vector<int> misfitCorners;
};
