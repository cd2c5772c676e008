// The material of a section file: the one rule by which every program takes
// E, G and MUE, and the plates' bending stiffness t^3 E / (12 (1 - MUE^2))
// that follows from them. A value the arithmetic cannot carry (infinite,
// not a number, or so small that it is no longer a normal double) is refused
// as surely as a negative one. Beside it the units a file may name and
// steel's modulus in them, the default of zorvik-make and the yardstick of
// the note on a modulus written in other units than the file's.
#pragma once

#include <string>

#include "platform/result.h"

class CrossSection;

// A modulus (E or G) that the programs compute with: finite, above 0 and a
// normal double.
bool isModulusValue(double value);
// A Poisson's ratio: above -1 and below 0.5.
bool isPoissonRatio(double value);

// E and G moduli (isModulusValue), MUE a Poisson's ratio, and E / (12 (1 -
// MUE^2)) finite and above 0; the reason, such as "E = -210 is not a
// modulus above 0", when not.
Result checkMaterial(double E, double G, double MUE);

// Every plate's stiffness with its own thickness t_r: finite and above 0;
// the reason names the first plate that has none.
Result checkPlateStiffnesses(const CrossSection& section);

// Both: the material and every plate's stiffness.
Result checkSectionMaterial(const CrossSection& section);

// The significant digits with which a file holds E, G and MUE: six, as every
// number of a file, or more where six would carry a material that
// checkMaterial takes outside its rule (MUE = 0.4999999999 is not 0.5).
int materialDigits(double E, double G, double MUE);

// Success when force is one of N, kN, MN, lbf, kip and length one of mm, cm,
// m, in, ft; otherwise the line that lists them.
Result checkUnits(const std::string& force, const std::string& length);

// Steel's modulus of elasticity, E = 210 000 N/mm^2 (29 500 ksi where the
// force is lbf or kip), in units that checkUnits takes; 0 for other units.
double steelModulus(const std::string& force, const std::string& length);

const double kSteelPoisson = 0.3;

// The shear modulus of an isotropic material.
inline double shearModulus(double E, double MUE) { return E / (2 * (1 + MUE)); }

// "Note: E = 210000 kN/mm^2 is about 1000 times steel's; check the units of
// f.kaf." when the section's E in its own units lies outside 1 to 1,000 GPa
// (steel is about 200): a modulus written for other units than the file
// names. Empty for a modulus inside that range and for units checkUnits
// does not take.
std::string modulusNote(const CrossSection& section, const std::string& fileName);

// "Note: f_y = 345 kN/mm^2 is more than E/20 of f.kaf; check the units."
// when a yield stress lies above E/20 or below E/10000 of the section's E
// (steel's 345 N/mm^2 is about E/600): a stress written for other units
// than the file's. Empty inside that range.
std::string yieldStressNote(double yieldStress, const CrossSection& section,
                            const std::string& fileName);
