// Corner rounding: every corner of an open plate chain becomes a circular arc
// of short straight plates, and the straight part of each plate may be split
// into equal pieces. The operations work on a CrossSection in place.
#pragma once

#include <string>
#include <vector>

#include "platform/result.h"
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

// Checks that the plates form one open chain numbered along its plates.
Result checkChain(const CrossSection& section);

// Whether the section is one that is rounded: of type kPlainSectionType
// ("it is a section of type 6; only type 1 sections are rounded") and an
// open chain (checkChain).
Result checkRoundableSection(const CrossSection& section);

// The plates at every node, by one scan of the plates (a later match wins).
std::vector<NodePlates> platesAtEveryNode(const CrossSection& section);

// A node that joins two plates whose directions differ by more than a
// hundredth of a degree.
bool isCorner(const CrossSection& section, int node, const NodePlates& plates);

// The arc of radius R with n plates between the plates at a node.
CornerArc computeCornerArc(const CrossSection& section, double radius, int elementsPerCorner,
                           const NodePlates& plates);

// Replaces every corner of the open plate chain by n arc plates of radius R
// and splits the straight part of plate k into divisionNumbers[k] pieces.
// The pieces keep their plate's thickness, an arc plate takes the thinner of
// the two plates it joins, and every K_r follows its thickness with the
// section's E and MUE. Turns are taken the short way round. When R does not fit a corner, the
// section is left unchanged and the report names every such corner. A
// section that checkRoundableSection refuses, and arc plates narrower than
// a file's six digits hold (kFileResolution of the chain's size,
// section/plate_geometry.h), are
// refused, the section unchanged.
RoundingReport roundCorners(CrossSection& section, double radius, int elementsPerCorner,
                            bool convex, std::vector<int> divisionNumbers);

// Rebuilds nodes, counts, coordinates and edge supports from b_r and alpha_r,
// starting at the origin.
void rebuildFromPlates(CrossSection& section);

// The largest radius that fits every corner of an open chain, by the rule of
// roundCorners (the tangents of both corners of a plate share 90 % of it),
// as the engineer would type it: six significant digits, rounded down where
// rounding to nearest would not fit. "the largest that fits is M", or, where
// a corner turns by 180 degrees, "no radius fits the turn of 180° at node K".
std::string largestRadiusNote(const CrossSection& section);
