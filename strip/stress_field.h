// The longitudinal stress of a load on a section: linear over the section,
// compression positive, in the file's force and length units.
#pragma once

struct StressField {
  double constant = 0.0;
  double perY = 0.0;
  double perZ = 0.0;
  double at(double y, double z) const { return constant + perY * y + perZ * z; }
};

inline StressField operator+(const StressField& a, const StressField& b) {
  return {a.constant + b.constant, a.perY + b.perY, a.perZ + b.perZ};
}
inline StressField operator*(double k, const StressField& a) {
  return {k * a.constant, k * a.perY, k * a.perZ};
}
