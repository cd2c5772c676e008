#include "strip/load_cases.h"

#include <algorithm>
#include <cmath>

#include "section/plate_geometry.h"
#include "section/trigonometry.h"

namespace {

// Below this share of the section's size a node lies on the axis; nodes on
// both sides within this share of each other are as far.
const double kSameDistance = 1e-9;

// The direction along which a bending case measures the distance from its
// axis, and that axis's second moment.
struct BendingAxis {
  double dy, dz, I;
};

BendingAxis bendingAxis(const SectionProperties& p, LoadKind kind) {
  const double angle = radians(p.principalAngle);
  const double c = portableCos(angle), s = portableSin(angle);
  switch (kind) {
    case LoadKind::kM1:
      return {-s, c, p.I1};  // along axis 2
    case LoadKind::kM2:
      return {c, s, p.I2};  // along axis 1
    case LoadKind::kMy:
      return {0, 1, p.Iy};
    case LoadKind::kMz:
      return {1, 0, p.Iz};
    case LoadKind::kCompression:
      break;
  }
  return {0, 0, 0};
}

// The stress that is `scale` per unit of distance along (dy, dz) from the centroid.
StressField linearStress(const SectionProperties& p, double dy, double dz, double scale) {
  return {-scale * (p.yc * dy + p.zc * dz), scale * dy, scale * dz};
}

const char* axisName(LoadKind kind) {
  switch (kind) {
    case LoadKind::kM1:
      return "axis 1";
    case LoadKind::kM2:
      return "axis 2";
    case LoadKind::kMy:
      return "the y axis";
    default:
      return "the z axis";
  }
}

}  // namespace

std::optional<LoadCase> parseLoadCase(const std::string& text) {
  if (text == "compression") return LoadCase{};
  const bool reversed = !text.empty() && text.front() == '-';
  const std::string name = text.substr(reversed ? 1 : 0);
  const std::pair<const char*, LoadKind> kinds[] = {
      {"M1", LoadKind::kM1}, {"M2", LoadKind::kM2}, {"My", LoadKind::kMy}, {"Mz", LoadKind::kMz}};
  for (const auto& [n, kind] : kinds) {
    if (name == n) return LoadCase{kind, reversed};
  }
  return std::nullopt;
}

std::string loadCaseName(const LoadCase& load) {
  const char* names[] = {"compression", "M1", "M2", "My", "Mz"};
  return (load.reversed ? "-" : "") + std::string(names[static_cast<int>(load.kind)]);
}

Result loadStress(const SectionProperties& p, const StripModel& model, const LoadCase& load,
                  LoadStress& result) {
  result = LoadStress();
  if (load.kind == LoadKind::kCompression) {
    result.stress = {1, 0, 0};
    result.values = {{"sigma", CriticalValue::kStress, 1}, {"P", CriticalValue::kForce, p.area}};
    return Result::success();
  }
  const BendingAxis axis = bendingAxis(p, load.kind);
  double above = 0, below = 0;
  for (const StripNode& node : model.nodes) {
    const double d = (node.y - p.yc) * axis.dy + (node.z - p.zc) * axis.dz;
    above = std::max(above, d);
    below = std::max(below, -d);
  }
  const double far = std::max(above, below);
  if (!(far > kSameDistance * modelSize(model))) {
    return Result::refused(loadCaseName(load) + " puts no stress on the centre line: every node " +
                           "lies on " + axisName(load.kind));
  }
  const double side = below > above * (1 + kSameDistance) ? -1 : 1;
  result.stress = linearStress(p, axis.dy, axis.dz, (load.reversed ? -side : side) / far);
  result.c = far;
  result.values = {{"sigma", CriticalValue::kStress, 1},
                   {"M", CriticalValue::kMoment, axis.I / far}};
  return Result::success();
}

SectionModulus sectionModulus(const CrossSection& section, const SectionProperties& p,
                              LoadKind kind) {
  const BendingAxis axis = bendingAxis(p, kind);
  double far = 0;
  for (int k = 0; k < section.ns; ++k) {
    const PlateLine line = plateLine(section, k);
    const double b = std::hypot(line.y2 - line.y1, line.z2 - line.z1);
    // Half the thickness along the normal (-dz, dy) of the direction (dy, dz).
    const double half = section.t_r[k] / 2;
    const double ny = -(line.z2 - line.z1) / b * half, nz = (line.y2 - line.y1) / b * half;
    for (const auto& [y, z] : {std::pair{line.y1, line.z1}, std::pair{line.y2, line.z2}}) {
      for (double side : {-1.0, 1.0}) {
        const double d = (y + side * ny - p.yc) * axis.dy + (z + side * nz - p.zc) * axis.dz;
        far = std::max(far, std::fabs(d));
      }
    }
  }
  return {far, far > 0 ? axis.I / far : 0.0};
}

LoadStress actionsStress(const SectionProperties& p, const Actions& actions) {
  LoadStress result;
  result.stress = {actions.N / p.area, 0, 0};
  if (actions.N != 0.0) result.values.push_back({"N", CriticalValue::kForce, actions.N});
  const std::pair<double, LoadKind> moments[] = {{actions.M1, LoadKind::kM1},
                                                 {actions.M2, LoadKind::kM2},
                                                 {actions.My, LoadKind::kMy},
                                                 {actions.Mz, LoadKind::kMz}};
  const char* symbols[] = {"M1", "M2", "My", "Mz"};
  for (std::size_t i = 0; i < 4; ++i) {
    const auto& [M, kind] = moments[i];
    if (M == 0.0) continue;
    const BendingAxis axis = bendingAxis(p, kind);
    result.stress = result.stress + linearStress(p, axis.dy, axis.dz, M / axis.I);
    result.values.push_back({symbols[i], CriticalValue::kMoment, M});
  }
  return result;
}
