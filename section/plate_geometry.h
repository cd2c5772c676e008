// The rules of plate geometry that every floor above uses: angles in degrees
// (a plate's end node lies at its start node minus b_r * (cos, sin) of
// alpha_r), their reduction, and the bending stiffness of a plate.
#pragma once

#include <cmath>

#include "archive/numbers.h"
#include "section/trigonometry.h"

const double kPi = 3.14159265358979323846;

inline double radians(double degrees) { return degrees * kPi / 180.0; }
inline double degrees(double radians) { return radians * 180 / kPi; }

// A point of the section's plane: y to the right, z downwards.
struct PlanePoint {
  double y = 0.0;
  double z = 0.0;
};

// The end node of a plate of width b and angle alpha (degrees) that starts at
// start, by the portable cosine and sine, so that every platform places the
// nodes on the same bits.
inline PlanePoint plateEnd(PlanePoint start, double b, double alphaDegrees) {
  const double angle = radians(alphaDegrees);
  return {start.y - b * portableCos(angle), start.z - b * portableSin(angle)};
}

// An angle in degrees reduced into (-180, 180].
inline double principalDegrees(double degrees) {
  double reduced = std::fmod(degrees, 360.0);
  if (reduced > 180.0) reduced -= 360.0;
  if (reduced <= -180.0) reduced += 360.0;
  return reduced;
}

// The same as a file holds it: an angle whose six digits read -180 (such as
// -179.9999999) is 180, so that the written angle lies in (-180, 180] too.
inline double principalFileDegrees(double degrees) {
  const double reduced = principalDegrees(degrees);
  return roundedToDigits(reduced) == -180.0 ? 180.0 : reduced;
}

// Beyond ten turns an angle's six digits no longer hold its direction to
// 0.02 degrees: a program writes none, and the check of a file takes none as
// a direction.
const double kMostDegreesHeld = 3600;

// The share of a section's size below which a file's six digits no longer
// tell the two nodes of a plate apart: no program makes a plate narrower.
const double kFileResolution = 2e-5;

// The plate bending stiffness t^3 E / (12 (1 - MUE^2)) that K_r holds.
inline double plateStiffness(double t, double E, double MUE) {
  return t * t * t * E / (12 * (1 - MUE * MUE));
}

// A thickness a plate can have: above 0, with a stiffness that is finite,
// above 0 and a normal double (the products formed from it keep their digits).
inline bool thicknessFits(double t, double E, double MUE) {
  const double stiffness = plateStiffness(t, E, MUE);
  return t > 0 && std::isnormal(stiffness) && stiffness > 0;
}
