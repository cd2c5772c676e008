#include "rounding/thickness.h"

#include <cmath>

#include "archive/numbers.h"
#include "section/cross_section.h"
#include "section/plate_geometry.h"

Result setThickness(CrossSection& section, double t) {
  const double stiffness = plateStiffness(t, section.E, section.MUE);
  if (!std::isfinite(stiffness)) {
    return Result::failure("thickness " + formatReal(t) + " with E = " + formatReal(section.E) +
                           " and MUE = " + formatReal(section.MUE) +
                           " gives no finite plate stiffness");
  }
  const std::size_t plates = static_cast<std::size_t>(section.ns > 0 ? section.ns : 0);
  section.t_r.assign(plates, t);
  section.K_r.assign(plates, stiffness);
  return Result::success();
}
