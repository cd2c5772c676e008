// The deformation spaces of the constrained finite strip method for a strip
// model, G (global), D (distortional), L (local) and O (other), and the
// shares of a buckling mode in them.
//
// Methods: Ádány and Schafer, Buckling mode decomposition of single-branched
// open cross-section members via finite strip method, Thin-Walled Structures
// 44 (2006), derivation and application; Ádány and Schafer (2008), the
// constrained method for arbitrary, branched open sections; Li and Schafer, The constrained finite
// strip method for general end boundary conditions (SSRC 2010), for several longitudinal terms;
// Ádány and Schafer, Generalized constrained finite strip method for thin-walled members with
// arbitrary cross-section, Thin-Walled Structures 84 (2014), for the mechanical criteria; Jin,
// Ádány and Schafer, on the force-based method for rounded corners, for the problem that a rounded
// corner poses.
//
// The spaces, in this system's words. The section is cut into folds
// (corners, free edges, branches, and every rounded corner taken as one
// fold, see fold_structure.h) and walls (the flat parts between).
//  - GDL: the folds move as rigid pieces in the section's plane; the walls
//    have neither transverse membrane strain nor in-plane shear, so each
//    wall's displacement along it is constant and its warping linear.
//  - L: without warping (v = 0): the folds do not move but turn about their
//    pivots (a sharp corner turns about itself), the walls bend. A rounded
//    fold that turns shears its own short strips a little; it is taken as
//    one corner all the same, which is what makes a rounded section's local
//    mode local. (GD's folds keep their strips exactly free of shear.)
//  - GD: the rest of GDL, driven by warping: for each warping pattern the
//    walls' transverse bending is the least the folds' motion allows (the
//    cross-section as a plane frame; a bending that the frame's stiffness
//    cannot tell apart is chosen orthogonal to L in the work norm).
//  - G: axial shortening and the rigid motions of the section in its plane
//    with the warping that keeps every strip free of shear (Vlasov: two
//    flexures and torsion). A rigid motion that L holds without warping (a
//    flat plate bent about its weak axis, an angle twisted about its corner,
//    sharp or rounded) stays in L, as in the classical definition.
//  - D: the warping patterns of GD whose longitudinal stresses have no
//    resultant of G's kind (no axial force, bending moment or bimoment: the
//    warping is orthogonal to G's in t v^2 over the section), so that a
//    distortional mode carries no global part.
//  - O: what GDL cannot hold (shear, transverse extension), orthogonal to
//    GDL in the work norm.
// Each space is spanned by its natural basis, built from these definitions,
// and held orthonormal in the work norm; no modal basis is needed because
// the shares below depend only on the spaces, not on a basis within them.
//
// Shares. A mode phi is split into phi_O (its part orthogonal to GDL in the
// work norm) and the part in GDL, which splits uniquely into its G, D and L
// parts; the share of each space is the square of that part's work norm
// over the sum of the four squares, the part of the mode's work it does
// alone. The work norm is the geometric stiffness of a uniform unit
// compression (for one longitudinal term, the thickness-weighted mean
// square displacement): it weighs translations and rotations alike in any
// units, it does not change when the mesh is refined or an arc adds short
// strips (a vector norm counts nodes), it is positive for every load, and
// the transverse Poisson strain of a long member, tiny in displacement,
// stays tiny in O (an energy norm gives it about MUE^2 of the mode).
#pragma once

#include <Eigen/Dense>
#include <Eigen/Sparse>
#include <vector>

#include "platform/result.h"
#include "strip/fold_structure.h"
#include "strip/longitudinal.h"
#include "strip/strip_model.h"

// The spaces, as flags that add up (G | D for the distortional and global
// spaces together).
enum ModeClass : unsigned {
  kGlobal = 1,
  kDistortional = 2,
  kLocal = 4,
  kOther = 8,
};

struct ModalSpaces {
  // Columns spanning each space, orthonormal in the work norm, in the
  // model's freedom layout: freedom f of node i in term j has the index
  // 4 (j nodeCount + i) + f.
  Eigen::MatrixXd global;
  Eigen::MatrixXd distortional;
  Eigen::MatrixXd local;
  Eigen::SparseMatrix<double> work;
  // For splitting a vector of G + D + L into its parts: [G D]^T W L, and
  // the factor of the Schur complement of L in the Gram matrix of [G D L].
  Eigen::MatrixXd crossLocal;
  Eigen::LLT<Eigen::MatrixXd> reduced;
};

// The work norm of a model with one longitudinal term of half-wavelength L:
// the geometric stiffness of a uniform unit compression, divided by
// (pi / L)^2 L / 2 so that it does not depend on L, in the model's own
// units (any units, as long as its modes are in the same).
Eigen::SparseMatrix<double> workNorm(const StripModel& model, double L);
// The same for the terms 1 ... terms of a member of length a with the end
// conditions, in their layout, divided by pi^2 / (2 a): the same at every a.
// The terms of an S-S member are apart, term m weighing m^2 the first's.
Eigen::SparseMatrix<double> workNorm(const StripModel& model, EndConditions ends, double a,
                                     int terms);
class StripSystem;
// The same from a strip system's own matrices (whatever its stress), in its
// solved units, for the solved length aScaled: the work norm of the model
// system.scaled(), without building a second system.
Eigen::SparseMatrix<double> solvedWorkNorm(const StripSystem& system, double aScaled, int terms);

// The spaces for the longitudinal terms with these wavenumbers (pi / L for
// one half-wave of length L; m pi / a for term m of a member of length a),
// the warping of each term being its function's derivative over its
// wavenumber. work is the work norm in the same layout. Refused for a
// section whose folds cannot be found (closed, or in parts) and for a
// wavenumber that is not finite and above 0. Built from the definitions at
// every call, as they read: the reference for ModalSpaceBuilder, which is
// what a curve uses.
Result buildModalSpaces(const StripModel& model, const FoldStructure& folds,
                        const std::vector<double>& wavenumbers,
                        const Eigen::SparseMatrix<double>& work, ModalSpaces& spaces);

// The spaces at any wavenumber, from the work done once per model. Where
// each term's warping is divided by its wavenumber, the constraints of
// every space no longer depend on it (the walls' displacement along them
// is the difference of their ends' warping over k times the width, the
// warping of a rigid motion k times its sectorial coordinate), and the
// work norm does not couple warping with the motions in the plane: in
// those coordinates each space is the same at every wavenumber. So the
// spaces are built once, and at each wavenumber only G and D, small, are
// scaled back and held orthonormal in the work norm; L has no warping and
// does not change at all. The spaces' dimensions are decided once, at the
// wavenumber 1 / size where warping and bending weigh alike. (At long
// lengths buildModalSpaces starts to lose the small warping that turns a
// rounded corner, which shrinks with the wavenumber below its rank test;
// the builder keeps it, so a curve's D has one dimension at every length.)
// The spaces are dense: their preparation takes time as the cube of the
// nodes (0.6 s at 400 nodes). Above this many nodes a model has none.
const int kMostModalNodes = 500;

class ModalSpaceBuilder {
 public:
  // For one longitudinal term, in the work norm of workNorm (which does not
  // depend on the length). Refused as findFolds refuses, and for a model of
  // more than kMostModalNodes nodes.
  Result prepare(const StripModel& model);
  // The same for system.scaled() (the modes in the system's solved units),
  // its work norm from the system's own strip matrices when its ends are
  // S-S (other ends' integrals differ: then as for the model).
  Result prepare(const StripSystem& system);
  // For this many terms, in this work norm in their layout. Refused as
  // buildModalSpaces refuses, and for a work norm that couples the warping
  // with the motions in the plane (a geometric stiffness never does).
  Result prepare(const StripModel& model, const FoldStructure& folds, int terms,
                 const Eigen::SparseMatrix<double>& work);
  // The spaces at these wavenumbers, one per term: the spaces of
  // buildModalSpaces at the same wavenumbers in the same work norm.
  // Refused for a wavenumber that is not finite and above 0 and for a
  // count of them other than the prepared terms.
  Result spacesAt(const std::vector<double>& wavenumbers, ModalSpaces& spaces) const;

  int nodeCount() const { return nodes_; }
  int termCount() const { return terms_; }
  // Whether any of the spaces of classes (kGlobal, kDistortional, kLocal
  // joined) has a dimension: a plain channel has no distortional one.
  bool hasDeformation(unsigned classes) const;

 private:
  int nodes_ = 0;
  int terms_ = 0;
  // G's columns then D's, with every term's warping divided by its
  // wavenumber, and their products with L in the work norm.
  Eigen::MatrixXd scaled_;
  Eigen::Index globalColumns_ = 0;
  Eigen::MatrixXd crossLocal_;
  Eigen::MatrixXd local_;
  Eigen::SparseMatrix<double> work_;
};

// The columns that span the given spaces together (O computed here, as the
// complement of G + D + L in the work norm).
Eigen::MatrixXd spaceBasis(const ModalSpaces& spaces, unsigned classes);

// Shares in percent, summing to 100.
struct ModeShares {
  double global = 0.0;
  double distortional = 0.0;
  double local = 0.0;
  double other = 0.0;
};

ModeShares modeShares(const ModalSpaces& spaces, const Eigen::VectorXd& mode);

// The squared work norms of the mode's parts in G, D, L and O, not divided
// by their sum: the parts of the terms of a mode add.
ModeShares modeParts(const ModalSpaces& spaces, const Eigen::VectorXd& mode);
// Parts as percentages of their sum (all 0 when it is 0).
ModeShares sharesOfParts(const ModeShares& parts);
