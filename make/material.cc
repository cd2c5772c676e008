#include "make/material.h"

#include <utility>

namespace {

// Each unit in newtons or millimetres, and the US ones in kips or inches.
struct Unit {
  const char* name;
  double size;
  bool us;
};

const Unit kForces[] = {
    {"N", 1, false}, {"kN", 1e3, false}, {"MN", 1e6, false}, {"lbf", 1e-3, true}, {"kip", 1, true}};
const Unit kLengths[] = {
    {"mm", 1, false}, {"cm", 10, false}, {"m", 1e3, false}, {"in", 1, true}, {"ft", 12, true}};
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
