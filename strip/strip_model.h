// The strip model of a cross-section: the nodes and strips that the finite
// strip method analyses, made from a section file's plates, with the
// material, each node's number in the file and each strip's plate.
//
// A node has four freedoms, in this order: u_y and u_z (its displacement in
// the section's plane), v (along the member) and theta (the rotation about
// the member's axis). Across a strip, from its first node to its second,
// s runs from 0 to its width b.
#pragma once

#include <vector>

#include "platform/result.h"

class CrossSection;

struct StripNode {
  double y = 0.0;
  double z = 0.0;
  int fileNode = 0;  // its number in the file (from 1), or 0 for a node inside a plate
};

struct Strip {
  int first = 0;  // node indices
  int second = 0;
  double t = 0.0;
  int plate = 0;  // the index of its plate in the file (from 0)
};

struct StripModel {
  std::vector<StripNode> nodes;
  std::vector<Strip> strips;
  double E = 0.0;
  double G = 0.0;
  double MUE = 0.0;
};

// Below this share of its thickness a strip is too narrow: the transverse
// bending stiffness (t / b)^3 then swamps the membrane stiffness by more
// than double precision carries through the solve.
const double kNarrowestStripShare = 0.05;

// The strips of a plate of this width when no count is given: a plate wider
// than 1/32 of the section's whole centre line is split so that no strip is
// wider than that; narrower plates (arc plates, short lips) stay one strip.
// The rule does not change when the section is turned or moved.
int defaultStripCount(double width, double centreLineLength);

// The numbers of strips and nodes that buildStripModel would make of a
// section, without making them (0 and 0 for a section it refuses).
struct ModelCount {
  double strips = 0;
  double nodes = 0;
};
ModelCount countStrips(const CrossSection& section, int stripsPerPlate, int refinement = 1);

// The model of a section: every plate between its two nodes, split into
// stripsPerPlate equal strips (0: the default count), each with its plate's
// thickness; a plate of a rounded corner (a run of plates that turn alike,
// fold_structure.h) keeps the default count whatever is given (refining the
// example's arcs moves its minima by less than 1e-5, while their short strips
// would soon be too narrow). Refused, naming the reason, when the section cannot be
// analysed: the material (checkSectionMaterial), a plate of no length, a
// node that is not there or not finite, strips narrower than
// kNarrowestStripShare of their thickness. refinement multiplies every
// flat plate's count (2: a mesh twice as fine). Only the nodes that plates use
// become strip nodes, in the file's order, followed by the nodes inside the
// plates.
Result buildStripModel(const CrossSection& section, int stripsPerPlate, StripModel& model,
                       int refinement = 1);

// The larger side of the bounding box of the model's nodes.
double modelSize(const StripModel& model);
