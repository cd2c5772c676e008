#include "section/material.h"

#include <cmath>
#include <iterator>
#include <string>

#include "archive/numbers.h"
#include "section/cross_section.h"
#include "section/plate_geometry.h"

bool isModulusValue(double value) { return std::isnormal(value) && value > 0; }
bool isPoissonRatio(double value) { return value > -1 && value < 0.5; }

namespace {

Result checkModulus(const char* name, double value) {
  const std::string text = std::string(name) + " = " + formatReal(value);
  if (std::isfinite(value) && value > 0 && !std::isnormal(value)) {
    return Result::refused(text + " is too small a modulus to compute with");
  }
  if (!isModulusValue(value)) return Result::refused(text + " is not a modulus above 0");
  return Result::success();
}

}  // namespace

Result checkMaterial(double E, double G, double MUE) {
  Result r = checkModulus("E", E);
  if (r) r = checkModulus("G", G);
  if (!r) return r;
  if (!isPoissonRatio(MUE)) {
    return Result::refused("MUE = " + formatReal(MUE) + " is not between -1 and 0.5");
  }
  if (!thicknessFits(1, E, MUE)) {
    return Result::refused("E = " + formatReal(E) + " and MUE = " + formatReal(MUE) +
                           " give no finite plate stiffness");
  }
  return Result::success();
}

Result checkPlateStiffnesses(const CrossSection& section) {
  for (std::size_t k = 0; k < section.t_r.size(); ++k) {
    const double t = section.t_r[static_cast<int>(k)];
    if (!thicknessFits(t, section.E, section.MUE)) {
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

int materialDigits(double E, double G, double MUE) {
  if (!checkMaterial(E, G, MUE)) return kFileDigits;
  int digits = kFileDigits;
  while (digits < 17 && !checkMaterial(roundedToDigits(E, digits), roundedToDigits(G, digits),
                                       roundedToDigits(MUE, digits))) {
    ++digits;
  }
  return digits;
}

namespace {

// Each unit in newtons or millimetres, and the US ones in kips or inches
// (size); si is every unit in newtons or millimetres.
struct Unit {
  const char* name;
  double size;
  bool us;
  double si;
};

const Unit kForces[] = {{"N", 1, false, 1},
                        {"kN", 1e3, false, 1e3},
                        {"MN", 1e6, false, 1e6},
                        {"lbf", 1e-3, true, 4.4482216152605},
                        {"kip", 1, true, 4448.2216152605}};
const Unit kLengths[] = {{"mm", 1, false, 1},
                         {"cm", 10, false, 10},
                         {"m", 1e3, false, 1e3},
                         {"in", 1, true, 25.4},
                         {"ft", 12, true, 304.8}};
const double kMillimetresPerInch = 25.4;

const Unit* find(const Unit* begin, const Unit* end, const std::string& name) {
  for (const Unit* unit = begin; unit != end; ++unit) {
    if (name == unit->name) return unit;
  }
  return nullptr;
}

// The length in millimetres (SI) or inches (US).
double lengthIn(const Unit& length, bool us) {
  if (length.us == us) return length.size;
  return us ? length.size / kMillimetresPerInch : length.size * kMillimetresPerInch;
}

// The moduli of structural materials lie within this range, in GPa (N/mm^2
// over 1000): aluminium 70, steel 200, stainless steels and titanium between.
const double kLowestModulusGPa = 1;
const double kHighestModulusGPa = 1000;

}  // namespace

Result checkUnits(const std::string& force, const std::string& length) {
  if (find(std::begin(kForces), std::end(kForces), force) &&
      find(std::begin(kLengths), std::end(kLengths), length)) {
    return Result::success();
  }
  return Result::failure("Not units: " + force + "," + length +
                         ". The forces are N, kN, MN, lbf and kip, the lengths mm, cm, m, in "
                         "and ft, such as kN,mm.");
}

double steelModulus(const std::string& forceName, const std::string& lengthName) {
  const Unit* force = find(std::begin(kForces), std::end(kForces), forceName);
  const Unit* length = find(std::begin(kLengths), std::end(kLengths), lengthName);
  if (!force || !length) return 0.0;
  // 210 000 N/mm^2, or 29 500 kip/in^2 where the force is a US unit.
  const bool us = force->us;
  const double base = us ? 29500.0 : 210000.0;
  const double side = lengthIn(*length, us);
  return base * side * side / force->size;
}

std::string modulusNote(const CrossSection& section, const std::string& fileName) {
  const Unit* force = find(std::begin(kForces), std::end(kForces), section.Kraft);
  const Unit* length = find(std::begin(kLengths), std::end(kLengths), section.Laenge);
  if (!force || !length || !isModulusValue(section.E)) return std::string();
  const double gigapascals = section.E * force->si / (length->si * length->si) / 1000;
  if (gigapascals >= kLowestModulusGPa && gigapascals <= kHighestModulusGPa) return std::string();
  // Outside the range the ratio is at least 4.7 or at most 1/200: it
  // rounds to a power of ten other than 1.
  const double power =
      std::round(std::log10(section.E / steelModulus(section.Kraft, section.Laenge)));
  const std::string ratio = power > 0 ? "about " + formatReal(std::pow(10.0, power)) + " times"
                                      : "about 1/" + formatReal(std::pow(10.0, -power)) + " of";
  return "Note: E = " + formatReal(section.E) + " " + section.Kraft + "/" + section.Laenge +
         "^2 is " + ratio + " steel's; check the units of " + fileName + ".";
}

std::string yieldStressNote(double fy, const CrossSection& section, const std::string& fileName) {
  const bool high = fy > section.E / 20, low = fy < section.E / 10000;
  if (!high && !low) return std::string();
  return "Note: f_y = " + formatReal(fy) + " " + section.Kraft + "/" + section.Laenge + "^2 is " +
         (high ? "more than E/20" : "less than E/10000") + " of " + fileName + "; check the units.";
}
