#include "section/material.h"

#include <cmath>
#include <string>

#include "archive/numbers.h"
#include "section/cross_section.h"
#include "section/plate_geometry.h"

namespace {

// Finite, above 0 and a normal double: the products and quotients that the
// programs form from it keep their digits.
bool isComputable(double value) { return std::isnormal(value) && value > 0; }

Result checkModulus(const char* name, double value) {
  const std::string text = std::string(name) + " = " + formatReal(value);
  if (std::isfinite(value) && value > 0 && !std::isnormal(value)) {
    return Result::refused(text + " is too small a modulus to compute with");
  }
  if (!isComputable(value)) return Result::refused(text + " is not a modulus above 0");
  return Result::success();
}

}  // namespace

Result checkMaterial(double E, double G, double MUE) {
  Result r = checkModulus("E", E);
  if (r) r = checkModulus("G", G);
  if (!r) return r;
  if (!(MUE > -1 && MUE < 0.5)) {
    return Result::refused("MUE = " + formatReal(MUE) + " is not between -1 and 0.5");
  }
  if (!isComputable(plateStiffness(1, E, MUE))) {
    return Result::refused("E = " + formatReal(E) + " and MUE = " + formatReal(MUE) +
                           " give no finite plate stiffness");
  }
  return Result::success();
}

Result checkPlateStiffnesses(const CrossSection& section) {
  for (std::size_t k = 0; k < section.t_r.size(); ++k) {
    const double t = section.t_r[static_cast<int>(k)];
    if (!isComputable(plateStiffness(t, section.E, section.MUE)) || !(t > 0)) {
      return Result::refused("the thickness " + formatReal(t) + " of plate " +
                             std::to_string(k + 1) + " gives no finite plate stiffness above 0");
    }
  }
  return Result::success();
}

Result checkSectionMaterial(const CrossSection& section) {
  const Result material = checkMaterial(section.E, section.G, section.MUE);
  return material ? checkPlateStiffnesses(section) : material;
}
