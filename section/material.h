// The material of a section file: the one rule by which every program takes
// E, G and MUE, and the plates' bending stiffness t^3 E / (12 (1 - MUE^2))
// that follows from them. A value the arithmetic cannot carry (infinite,
// not a number, or so small that it is no longer a normal double) is refused
// as surely as a negative one.
#pragma once

#include "platform/result.h"

class CrossSection;

// E and G finite and above 0, MUE above -1 and below 0.5, and E / (12 (1 -
// MUE^2)) finite and above 0; the reason, such as "E = -210 is not a
// modulus above 0", when not.
Result checkMaterial(double E, double G, double MUE);

// Every plate's stiffness with its own thickness t_r: finite and above 0;
// the reason names the first plate that has none.
Result checkPlateStiffnesses(const CrossSection& section);

// Both: the material and every plate's stiffness.
Result checkSectionMaterial(const CrossSection& section);
