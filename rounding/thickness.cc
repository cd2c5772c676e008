// Thickness assignment: every plate of a section gets one thickness and the
// matching plate bending stiffness K = t^3 E / (12 (1 - MUE^2)).
#include <cmath>

#include "archive/numbers.h"
#include "section/cross_section.h"

Result CrossSection::setThickness(double t) {
  const double stiffness = t * t * t * E / (12 * (1 - MUE * MUE));
  if (!std::isfinite(stiffness)) {
    return Result::failure("thickness " + formatReal(t) + " with E = " + formatReal(E) +
                           " and MUE = " + formatReal(MUE) + " gives no finite plate stiffness");
  }
  const std::size_t plates = static_cast<std::size_t>(ns > 0 ? ns : 0);
  t_r.assign(plates, t);
  K_r.assign(plates, stiffness);
  return Result::success();
}
