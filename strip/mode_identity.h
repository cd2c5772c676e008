// A buckling mode's name from its shares, and how alike two modes are, so
// that a mode can be followed from a section to its rounded versions, whose
// meshes differ, by its shape rather than by its place along the curve.
#pragma once

#include <Eigen/Dense>

#include "strip/modal_spaces.h"
#include "strip/strip_model.h"

enum class ModeName { local, distortional, global, mixed };

// The space with the largest share, O included (one of the ModeClass flags).
ModeClass largestShare(const ModeShares& shares);

// Named after its largest share among L, D and G; mixed when the largest
// share is O or no share is above 50 %.
ModeName nameOf(const ModeShares& shares);

// "local", "distortional", "global" or "mixed".
const char* nameText(ModeName name);

// How alike the deformations of two modes are, from 0 to 1: the correlation
// of their displacement fields (u_y, u_z, v), each sampled along its own
// centre line and compared with the other's at the nearest point of the
// other's centre line, weighted by thickness and width; the smaller of the
// two ways round. Neither sign nor size matters. The modes are vectors in
// their models' freedom layouts with the same number of terms, and the two
// sections lie in the same axes.
double deformationLikeness(const StripModel& a, const Eigen::VectorXd& modeA, const StripModel& b,
                           const Eigen::VectorXd& modeB);

// Deformations at least this alike belong to the same mode.
const double kAlikeDeformation = 0.8;

// The same mode: the same largest share and deformations alike.
bool sameMode(const ModeShares& a, const ModeShares& b, double likeness);
