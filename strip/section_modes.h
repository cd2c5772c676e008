// The buckling modes of a section for a table of its local, distortional
// and global values: its signature curve, the shares of the curve's minima
// and of its longest length, the pure curves where a mode has no minimum,
// the modes of a later section of a series followed from its first by
// their shape, and the values converged in the mesh (mesh_convergence.h).
#pragma once

#include <array>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "section/cross_section.h"
#include "strip/mesh_convergence.h"
#include "strip/mode_naming.h"
#include "strip/mode_shares.h"
#include "strip/pure_modes.h"
#include "strip/signature_curve.h"

// A value that the table gives for a named mode.
struct ReportedMode {
  FoundMode found;       // on the curve's mesh; source none: no value
  ConvergedValue value;  // in the mesh, once converged (until then, found's)
  std::string missing;   // source none: why
  // source none because the section has no such deformation at all (a
  // plain channel's distortional mode), rather than no value of it.
  bool noSuchDeformation = false;
  // A later section of a series: whether its mode was found alike the
  // first section's (else it is its own by name), and how alike.
  bool followed = true;
  double likeness = 1.0;
};

class SectionModes {
 public:
  // strips: the count per plate of the curve's mesh (0: the default),
  // which model was built with.
  SectionModes(const CrossSection& section, const StripModel& model, int strips,
               const StressField& stress);
  SectionModes(const SectionModes&) = delete;
  SectionModes& operator=(const SectionModes&) = delete;

  // The signature curve at the lengths (its minima from three lengths on),
  // the spaces of the model and the shares of the curve's minima and of its
  // longest length. A closed section has no shares: noShares says why.
  void analyse(const std::vector<double>& lengths, const Progress& progress = {});

  const SignatureCurve& curve() const { return curve_; }
  const StripModel& model() const { return model_; }
  bool hasShares() const { return noShares_.empty(); }
  const std::string& noShares() const { return noShares_; }
  // The curve's minima in order of length, then its longest length.
  const std::vector<FoundMode>& candidates() const { return candidates_; }

  // The table's modes by their names, a pure mode where the curve has none
  // of a name: for a section alone or the first of a series.
  void nameModes();
  // Those of a later section: each of the first's followed by its shape,
  // its own by name where none is alike.
  void followModes(const SectionModes& first);
  // Converges the named modes' values in the mesh.
  void convergeModes();
  const std::array<ReportedMode, 3>& modes() const { return modes_; }
  const std::vector<FoundMode>& further() const { return further_; }
  const std::vector<FoundMode>& mixed() const { return mixed_; }

  // The pure curve of the spaces (ModeClass flags) at the curve's lengths,
  // NaN where it has no value; refusal says why there is none at all.
  const std::vector<double>& pureCurve(unsigned classes, std::string& refusal);
  // The mode at a half-wavelength, with its shares (source none).
  Result modeAt(double length, FoundMode& mode);

 private:
  void nameSlot(std::size_t slot, const MinimaNames& names);
  void pureFallback(std::size_t slot);
  void listOthers(const std::array<int, 3>& chosen);
  bool pureMinimum(unsigned classes, FoundMode& mode, std::string& missing);
  bool pureAt(unsigned classes, double length, FoundMode& mode, std::string& missing);
  PureModeSolver& pureSolver();
  void sharesInto(FoundMode& mode) const;

  CrossSection section_;
  StripModel model_;
  StressField stress_;
  std::vector<double> lengths_;
  StripSystem system_;
  BucklingSolver solver_;
  ModeClassifier classifier_;
  std::string noShares_;
  std::unique_ptr<PureModeSolver> pure_;
  MeshRefinement refinement_;
  SignatureCurve curve_;
  std::vector<FoundMode> candidates_;
  std::array<ReportedMode, 3> modes_;
  std::vector<FoundMode> further_, mixed_;
  std::map<unsigned, std::vector<double>> pureCurves_;
  std::map<unsigned, std::string> pureRefusals_;
};
