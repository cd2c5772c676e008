#include "section/trigonometry.h"

#include <cmath>
#include <limits>

namespace {

// pi/2 in three parts (33, 33 and 53 bits), so that n * part is exact for the
// first two and the reduced argument keeps its precision (Cody and Waite).
const double kHalfPi1 = 0x1.921fb54400000p+0;
const double kHalfPi2 = 0x1.0b4611a600000p-34;
const double kHalfPi3 = 0x1.3198a2e037073p-69;
const double kTwoOverPi = 0x1.45f306dc9c883p-1;
const double kTwoPi = 0x1.921fb54442d18p+2;
// Beyond this, n * kHalfPi1 is no longer exact.
const double kReductionLimit = 0x1p20 * kHalfPi1;

// Taylor series on |r| <= pi/4, in Horner form; terms to r^19 and r^20.
double sinKernel(double r) {
  const double r2 = r * r;
  double sum = -0x1.2f49b46814157p-57;      // -1/19!
  sum = 0x1.952c77030ad4ap-49 + r2 * sum;   // 1/17!
  sum = -0x1.ae7f3e733b81fp-41 + r2 * sum;  // -1/15!
  sum = 0x1.6124613a86d09p-33 + r2 * sum;   // 1/13!
  sum = -0x1.ae64567f544e4p-26 + r2 * sum;  // -1/11!
  sum = 0x1.71de3a556c734p-19 + r2 * sum;   // 1/9!
  sum = -0x1.a01a01a01a01ap-13 + r2 * sum;  // -1/7!
  sum = 0x1.1111111111111p-7 + r2 * sum;    // 1/5!
  sum = -0x1.5555555555555p-3 + r2 * sum;   // -1/3!
  return r + r * r2 * sum;
}

double cosKernel(double r) {
  const double r2 = r * r;
  double sum = 0x1.e542ba4020225p-62;       // 1/20!
  sum = -0x1.6827863b97d97p-53 + r2 * sum;  // -1/18!
  sum = 0x1.ae7f3e733b81fp-45 + r2 * sum;   // 1/16!
  sum = -0x1.93974a8c07c9dp-37 + r2 * sum;  // -1/14!
  sum = 0x1.1eed8eff8d898p-29 + r2 * sum;   // 1/12!
  sum = -0x1.27e4fb7789f5cp-22 + r2 * sum;  // -1/10!
  sum = 0x1.a01a01a01a01ap-16 + r2 * sum;   // 1/8!
  sum = -0x1.6c16c16c16c17p-10 + r2 * sum;  // -1/6!
  sum = 0x1.5555555555555p-5 + r2 * sum;    // 1/4!
  return 1.0 - 0.5 * r2 + r2 * r2 * sum;
}

// x = quadrant * pi/2 + r with |r| <= pi/4 (a little more for huge x).
double reduce(double x, int& quadrant) {
  if (std::fabs(x) > kReductionLimit) x = std::fmod(x, kTwoPi);  // exact
  const double n = std::nearbyint(x * kTwoOverPi);
  quadrant = static_cast<int>(static_cast<long long>(n) & 3);
  return ((x - n * kHalfPi1) - n * kHalfPi2) - n * kHalfPi3;
}

}  // namespace

double portableSin(double radians) {
  if (!std::isfinite(radians)) return std::numeric_limits<double>::quiet_NaN();
  int quadrant = 0;
  const double r = reduce(radians, quadrant);
  switch (quadrant) {
    case 0:
      return sinKernel(r);
    case 1:
      return cosKernel(r);
    case 2:
      return -sinKernel(r);
    default:
      return -cosKernel(r);
  }
}

double portableCos(double radians) {
  if (!std::isfinite(radians)) return std::numeric_limits<double>::quiet_NaN();
  int quadrant = 0;
  const double r = reduce(radians, quadrant);
  switch (quadrant) {
    case 0:
      return cosKernel(r);
    case 1:
      return -sinKernel(r);
    case 2:
      return -cosKernel(r);
    default:
      return sinKernel(r);
  }
}

double portableTan(double radians) {
  if (!std::isfinite(radians)) return std::numeric_limits<double>::quiet_NaN();
  int quadrant = 0;
  const double r = reduce(radians, quadrant);
  const double s = sinKernel(r);
  const double c = cosKernel(r);
  return (quadrant & 1) ? -c / s : s / c;
}
