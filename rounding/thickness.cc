#include "rounding/thickness.h"

#include <algorithm>
#include <cmath>

#include "archive/numbers.h"
#include "section/cross_section.h"
#include "section/plate_geometry.h"

Result setThickness(CrossSection& section, double t) {
  const double stiffness = plateStiffness(t, section.E, section.MUE);
  if (!thicknessFits(t, section.E, section.MUE)) {
    return Result::failure("thickness " + formatReal(t) + " with E = " + formatReal(section.E) +
                           " and MUE = " + formatReal(section.MUE) +
                           " gives no finite plate stiffness");
  }
  const std::size_t plates = static_cast<std::size_t>(section.ns > 0 ? section.ns : 0);
  section.t_r.assign(plates, t);
  section.K_r.assign(plates, stiffness);
  return Result::success();
}

ThicknessRange thicknessRange(const CrossSection& section) {
  ThicknessRange range;
  for (std::size_t k = 0; k < section.t_r.size(); ++k) {
    const double t = section.t_r[static_cast<int>(k)];
    range.smallest = k == 0 ? t : std::min(range.smallest, t);
    range.largest = k == 0 ? t : std::max(range.largest, t);
  }
  return range;
}

Result checkOwnThicknesses(const CrossSection& section) {
  for (double t : section.t_r) {
    if (!thicknessFits(t, section.E, section.MUE)) {
      return Result::failure("the thickness in the file, " + formatReal(t) + ", cannot be kept");
    }
  }
  return Result::success();
}

Result keptThickness(const CrossSection& section, std::optional<double>& kept) {
  const ThicknessRange range = thicknessRange(section);
  if (!range.uniform()) {
    kept.reset();
    return checkOwnThicknesses(section);
  }
  kept = section.t_r[0];
  return checkOwnThicknesses(section);
}
