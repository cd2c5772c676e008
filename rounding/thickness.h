// Thickness assignment: every plate of a section gets one thickness and the
// matching plate bending stiffness K_r, or each keeps its own.
#pragma once

#include <optional>

#include "platform/result.h"

class CrossSection;

// Gives every plate thickness t; fails, leaving the section unchanged, when
// the thickness does not fit a plate with the section's E and MUE
// (thicknessFits).
Result setThickness(CrossSection& section, double t);

// The thinnest and the thickest plate of a section.
struct ThicknessRange {
  double smallest = 0.0;
  double largest = 0.0;
  bool uniform() const { return smallest == largest; }
};
ThicknessRange thicknessRange(const CrossSection& section);

// Where each plate keeps its own thickness: fails with the first thickness
// that is not above 0 or gives no finite stiffness with E and MUE (such a
// thickness is never a default).
Result checkOwnThicknesses(const CrossSection& section);

// The thickness that a run without one keeps: plate 1's, or none (each
// plate its own) where the plates differ; a failure when it cannot be kept.
Result keptThickness(const CrossSection& section, std::optional<double>& kept);
