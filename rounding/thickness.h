// Thickness assignment: every plate of a section gets one thickness and the
// matching plate bending stiffness K_r.
#pragma once

#include "platform/result.h"

class CrossSection;

// Gives every plate thickness t; fails, leaving the section unchanged, when
// the stiffness with the section's E and MUE is not finite.
Result setThickness(CrossSection& section, double t);
