// The units a section file may name and the default material, steel, in
// those units: E = 210 000 N/mm^2, or 29 500 ksi where the force is lbf or
// kip; MUE 0.3; G = E / (2 (1 + MUE)).
#pragma once

#include <string>

#include "platform/result.h"

// Success when force is one of N, kN, MN, lbf, kip and length one of mm, cm,
// m, in, ft; otherwise the line that lists them.
Result checkUnits(const std::string& force, const std::string& length);

// Steel's modulus of elasticity in units that checkUnits takes.
double steelModulus(const std::string& force, const std::string& length);

const double kSteelPoisson = 0.3;

// The shear modulus of an isotropic material.
inline double shearModulus(double E, double MUE) { return E / (2 * (1 + MUE)); }
