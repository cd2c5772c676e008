// The semi-analytical finite strip method for the elastic buckling of a
// thin-walled member with simply supported ends and one half-wave along it.
//
// Each plate of the section is one or more strips between nodes. A node has
// four freedoms: the displacements across the member in the section's y and
// z, the displacement v along the member, and the rotation theta about the
// member's axis. Across a strip the in-plane displacements are linear and the
// out-of-plane one cubic (Hermite, with theta); along the member u, w and
// theta vary as sin(pi y / L), v as cos(pi y / L). The stresses of the load
// are longitudinal, linear across each strip, compression positive.
#pragma once

#include <Eigen/Sparse>
#include <vector>

#include "platform/result.h"

class CrossSection;

struct StripNode {
  double y = 0.0;
  double z = 0.0;
};

struct Strip {
  int first = 0;  // node indices
  int second = 0;
  double t = 0.0;
};

struct StripModel {
  std::vector<StripNode> nodes;
  std::vector<Strip> strips;
  double E = 0.0;
  double G = 0.0;
  double MUE = 0.0;
};

// A longitudinal stress linear over the section: constant + perY y + perZ z,
// compression positive.
struct StressField {
  double constant = 0.0;
  double perY = 0.0;
  double perZ = 0.0;
  double at(double y, double z) const { return constant + perY * y + perZ * z; }
};

// The strips of a plate of this width when no count is given: a plate wider
// than 1/32 of the section's whole centre line is split so that no strip is
// wider than that; narrower plates (arc plates, short lips) stay one strip.
// The rule does not change when the section is turned or moved.
int defaultStripCount(double width, double centreLineLength);

// The model of a section: every plate between its two nodes, split into
// stripsPerPlate equal strips (0: the default count), each with its plate's
// thickness. Fails, naming the reason, when the section cannot be analysed:
// E or G not finite or not above 0, MUE not in (-1, 0.5), a plate of no
// length or no thickness, a coordinate that is not finite. refinement
// multiplies every plate's count (2: a mesh twice as fine).
Result buildStripModel(const CrossSection& section, int stripsPerPlate, StripModel& model,
                       int refinement = 1);

// The smallest positive load factor lambda of K phi = lambda Kg phi at the
// half-wavelength L under the given stresses; +infinity when no positive one
// exists (the stresses nowhere compress). near, when given, is a value close
// to the answer (such as lambda at a neighbouring length): the solve then
// converges in fewer steps; the answer does not depend on it.
double lowestLoadFactor(const StripModel& model, const StressField& stress, double L,
                        double near = 0.0);

// The elastic and the geometric stiffness at the half-wavelength L under the
// given stresses, so that K phi = lambda Kg phi: four freedoms per node in
// the model's node order (u_y, u_z, v, theta). The common factor L / 2 of
// the integrals along the member is left out of both.
void assembleStiffness(const StripModel& model, const StressField& stress, double L,
                       Eigen::SparseMatrix<double>& K, Eigen::SparseMatrix<double>& Kg);
