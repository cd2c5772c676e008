// The buckling values of a section converged in the mesh: a minimum of its
// signature curve (or of a pure curve), or a value at one length, found
// again on meshes with twice, four times, ... the flat plates' strips and
// extrapolated, until the value changes by less than kConvergedShare.
//
// The strips' in-plane displacements are linear across a strip, so the
// error of lambda falls as h^2 with the strips' width h: on the examples
// each doubling divides the change by 4.0 +- 0.1. The value of mesh r is
// therefore taken as Richardson's extrapolation of it and the mesh before,
// lambda_r + (lambda_r - lambda_r/2) / 3 (Richardson 1911; the curve's own
// mesh counts as itself), and the uncertainty that remains is the last
// change of that value. The plates of a rounded corner keep their strips
// (strip_model.h).
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "strip/buckling_solver.h"
#include "strip/pure_modes.h"
#include "strip/stress_field.h"
#include "strip/strip_model.h"

class CrossSection;

// The value counts as converged when one more refinement changes it by less
// than this share.
const double kConvergedShare = 2e-4;
// The finest mesh tried, in times the curve's strips.
const int kMostRefinement = 64;

// What to converge.
struct RefinedTarget {
  bool minimum = true;       // the minimum near the length; false: the value at it
  unsigned pureClasses = 0;  // 0: the whole problem; else the spaces of a pure one
  double length = 0.0;       // on the curve's mesh
  double lambda = 0.0;       // the file's, on the curve's mesh
};

struct ConvergedValue {
  double length = 0.0;       // of the minimum on the finest mesh (the target's length else)
  double lambda = 0.0;       // extrapolated
  double uncertainty = 0.0;  // relative: the last change of lambda
  int refinement = 1;        // the finest mesh, in times the curve's strips
  bool converged = false;
  std::string reason;  // why not, when not: what stopped the refinement
};

// The change of a later section's value against the first section's, in
// percent, and its uncertainty from both values' uncertainties:
// 100 (lambda_later / lambda_first) (u_first + u_later). A change smaller
// than twice its uncertainty is no change that the mesh can tell.
struct ValueChange {
  double change = 0.0;
  double uncertainty = 0.0;  // infinite when a value has none
  bool withinUncertainty = false;
};
ValueChange changeBetween(const ConvergedValue& first, const ConvergedValue& later);

// The finer meshes of one section and load, made as they are first needed
// and kept for the next target.
class MeshRefinement {
 public:
  // strips: the curve's count per plate (0: the default). The section must
  // outlive the refinement.
  MeshRefinement(const CrossSection& section, int strips, const StressField& stress);
  ~MeshRefinement();
  MeshRefinement(const MeshRefinement&) = delete;
  MeshRefinement& operator=(const MeshRefinement&) = delete;

  ConvergedValue converge(const RefinedTarget& target);

 private:
  struct Level;
  Level* level(int refinement, std::string& refusal);
  bool valueAt(Level& level, unsigned pureClasses, double length, double& lambda);

  const CrossSection& section_;
  int strips_;
  StressField stress_;
  std::vector<std::unique_ptr<Level>> levels_;  // refinement 2, 4, 8, ...
};
