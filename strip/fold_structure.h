// The folds and walls of a strip model: where the cross-section turns, and
// the flat parts between. A rounded corner, a run of short plates that turn
// alike, is one fold, so that a rounded section has the folds of its sharp
// original and the modal spaces of the two agree.
#pragma once

#include <vector>

#include "platform/result.h"
#include "strip/strip_model.h"

// A corner, a free edge, a branch, or the plates of a rounded corner taken
// together. In the modal spaces a fold moves as one rigid piece in the
// section's plane.
struct Fold {
  std::vector<int> nodes;   // model nodes, the reference first, then along its strips
  std::vector<int> strips;  // the strips inside it: the arc of a rounded corner
  // The point about which the fold turns without stretching the walls that
  // meet it: where their lines cross (the corner of the sharp section), or
  // the node itself for a fold of one node.
  double pivotY = 0.0;
  double pivotZ = 0.0;
};

// A flat run of strips from a node of one fold to a node of another; the
// nodes between are its own.
struct Wall {
  std::vector<int> nodes;  // in order along it
  int firstFold = -1;
  int lastFold = -1;
  double length = 0.0;
  double ey = 0.0;  // unit direction from its first node to its last
  double ez = 0.0;
};

struct FoldStructure {
  std::vector<Fold> folds;
  std::vector<Wall> walls;
  std::vector<int> foldOf;  // per node: its fold, -1 for a node inside a wall
  std::vector<int> wallOf;  // per node inside a wall: that wall, else -1
  double size = 0.0;        // the larger side of the nodes' bounding box
};

// The folds and walls of an open section (a chain or a tree of plates).
// Refused, naming the reason, for a section with a closed cell or with parts
// that do not touch. The folds are found from the geometry alone: a node
// where the direction changes, a free edge and a branch are folds; a run of
// at least two plates of equal width, turning by equal steps with half a
// step at each end (a circular arc as the rounding lays it), is one fold.
Result findFolds(const StripModel& model, FoldStructure& structure);

// Per strip: whether it lies in a rounded corner, a run of plates found as
// findFolds finds them (any section: outside a chain of plates, none).
std::vector<char> arcStrips(const StripModel& model);
