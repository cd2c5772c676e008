// A buckling problem of the finite strip method (the strip model, the stress
// of its load and the end conditions) in the units it is solved in, and the
// assembly of its stiffness K and geometric stiffness Kg, K phi = lambda Kg phi,
// for any set of longitudinal terms on any member length.
//
// The solved units: E = 1 (G becomes G / E), every length divided by the
// section's size D and the stresses by their largest magnitude. lambda is
// linear in E, inversely so in the stresses, and does not change when every
// length is scaled; so the solved lambda times lambdaScale() is the file's,
// whatever the magnitude of E, and the matrices keep their digits.
//
// Layout: with M terms and N nodes, freedom f (0 u_y, 1 u_z, 2 v, 3 theta)
// of node i in the j-th term (from 0) has index 4 (j N + i) + f.
#pragma once

#include <Eigen/Sparse>
#include <vector>

#include "strip/longitudinal.h"
#include "strip/stress_field.h"
#include "strip/strip_model.h"
#include "strip/strip_terms.h"

using SparseMatrix = Eigen::SparseMatrix<double>;

class StripSystem {
 public:
  StripSystem() = default;
  // The model must be one that buildStripModel accepts (or as sound).
  StripSystem(const StripModel& model, const StressField& stress, EndConditions ends);

  // The model in the solved units: nodes (y - y0) / D, (z - z0) / D about the
  // middle of their bounding box, thicknesses / D, E = 1, G / E.
  const StripModel& scaled() const { return scaled_; }
  double lengthScale() const { return D_; }
  // The file's lambda is lambdaScale() times the solved one.
  double lambdaScale() const { return lambdaScale_; }
  EndConditions ends() const { return ends_; }
  // The end conditions' integrals and couplings, computed as they are asked for.
  TermTable& termTable() const { return table_; }
  int nodeCount() const { return static_cast<int>(scaled_.nodes.size()); }
  // Whether the stress compresses some node: without, no lambda above 0 exists.
  bool compressed() const { return compressed_; }
  // Whether every entry of the strips' matrices is a finite number: a G
  // far above E (1e308 against 210) overflows them.
  bool finite() const { return finite_; }
  // The narrowest strip as a share of its thickness.
  double narrowestStripShare() const { return narrowest_; }

  // K and Kg of the given terms (numbers from 1, increasing) on a member of
  // length a in the file's units, both triangles, in the layout, in the
  // solved units.
  void assemble(double a, const std::vector<int>& terms, SparseMatrix& K, SparseMatrix& Kg) const;
  // Kg alone, of a uniform unit compression (every node's stress 1) whatever
  // the system's stress: the work norm of the modal spaces.
  void assembleUniformGeometric(double a, const std::vector<int>& terms, SparseMatrix& Kg) const;

  // The blocks between terms m and n (row freedoms of term m, columns of
  // term n) of every strip shape, in the section's freedoms of a strip's two
  // nodes, at the solved member length aScaled: what assemble adds, strip
  // by strip, the geometric ones times the stresses at the strip's nodes.
  struct PairBlocks {
    std::vector<StripMatrix> elastic;     // per strip shape
    std::vector<StripMatrix> geometric1;  // per strip shape, for a unit stress at the first node
    std::vector<StripMatrix> geometric2;  // and at the second
  };
  void pairBlocks(int m, int n, double aScaled, PairBlocks& blocks) const;
  // x^T K x of x (the layout of the terms, solved units) on the member of
  // solved length aScaled, from the strips' strains (strip_terms.h): exact
  // to rounding squared where x moves a strip as a rigid body.
  double elasticEnergy(double aScaled, const std::vector<int>& terms,
                       const Eigen::VectorXd& x) const;
  int shapeOf(int strip) const { return shapeOfStrip_[static_cast<std::size_t>(strip)]; }
  double nodeStress(int node) const { return nodeStress_[static_cast<std::size_t>(node)]; }

 private:
  void assembleWith(double a, const std::vector<int>& terms, const std::vector<double>& stresses,
                    SparseMatrix* K, SparseMatrix& Kg) const;

  StripModel scaled_;
  double D_ = 1.0;
  double lambdaScale_ = 0.0;
  EndConditions ends_ = EndConditions::SS;
  mutable TermTable table_{EndConditions::SS};
  bool compressed_ = false;
  bool finite_ = true;
  double narrowest_ = 0.0;
  std::vector<double> nodeStress_;
  // Strips of one plate alike in width, thickness and direction share their
  // matrices: the pieces, turned into the section's freedoms.
  std::vector<int> shapeOfStrip_;
  std::vector<StripPieces> elasticPieces_;
  // The geometric pieces of kinds I5 and I4 / (k_m k_n), for a unit stress
  // at the first node and at the second: the only kinds they have.
  struct GeometricPieces {
    StripMatrix first5, firstKk, second5, secondKk;
  };
  std::vector<GeometricPieces> geometricPieces_;
  struct ShapeStrains {
    double b, t;
    StripStrains strains;
  };
  std::vector<ShapeStrains> shapeStrains_;
};

// A solved mode in the file's units: its displacements (every fourth entry,
// the rotation, aside) times lengthScale, all divided by the size of its
// largest displacement, so that that size is 1, and signed so that the
// largest displacement is positive. Among displacements whose sizes agree
// within 1e-6 (the two lips of a symmetric section) the first in the
// model's order gives the sign, so that rounding noise does not choose it.
void normaliseToLargestDisplacement(Eigen::VectorXd& mode, double lengthScale);
