#include "report/section_properties.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "rounding/trigonometry.h"

namespace {

const double kPi = 3.14159265358979323846;

}  // namespace

PlateLine plateLine(const CrossSection& section, int plate) {
  const int start = section.startNode[plate] - 1;
  const double radians = section.alpha_r[plate] * kPi / 180;
  const double y = section.nodeY[start];
  const double z = section.nodeZ[start];
  const double b = section.b_r[plate];
  return {y, z, y - b * portableCos(radians), z - b * portableSin(radians)};
}

Result checkMeasurable(const CrossSection& section) {
  const std::size_t plates = static_cast<std::size_t>(section.ns < 0 ? 0 : section.ns);
  if (section.b_r.size() < plates || section.t_r.size() < plates ||
      section.alpha_r.size() < plates || section.startNode.size() < plates) {
    return Result::failure("its plate lists hold fewer than ns = " + std::to_string(section.ns) +
                           " entries");
  }
  const std::size_t nodes = std::min(section.nodeY.size(), section.nodeZ.size());
  for (std::size_t k = 0; k < plates; ++k) {
    const int start = section.startNode[static_cast<int>(k)];
    if (start < 1 || static_cast<std::size_t>(start) > nodes) {
      return Result::failure("plate " + std::to_string(k + 1) + " starts at node " +
                             std::to_string(start) + ", which the section does not have");
    }
  }
  return Result::success();
}

SectionProperties computeProperties(const CrossSection& section) {
  SectionProperties p;
  double firstY = 0.0;
  double firstZ = 0.0;
  for (int k = 0; k < section.ns; ++k) {
    const PlateLine line = plateLine(section, k);
    const double area = section.b_r[k] * section.t_r[k];
    p.area += area;
    firstY += area * (line.y1 + line.y2) / 2;
    firstZ += area * (line.z1 + line.z2) / 2;
  }
  if (p.area == 0.0) return p;
  p.yc = firstY / p.area;
  p.zc = firstZ / p.area;
  for (int k = 0; k < section.ns; ++k) {
    const PlateLine line = plateLine(section, k);
    const double b = section.b_r[k];
    const double t = section.t_r[k];
    const double area = b * t;
    const double dy = b == 0.0 ? 0.0 : (line.y2 - line.y1) / b;  // unit vector along the plate
    const double dz = b == 0.0 ? 0.0 : (line.z2 - line.z1) / b;
    const double along = b * b * b * t / 12;   // about the plate's own axis across it
    const double across = b * t * t * t / 12;  // about the plate's own axis along it
    const double y = (line.y1 + line.y2) / 2 - p.yc;
    const double z = (line.z1 + line.z2) / 2 - p.zc;
    p.Iy += area * z * z + along * dz * dz + across * dy * dy;
    p.Iz += area * y * y + along * dy * dy + across * dz * dz;
    p.Iyz += area * y * z + (along - across) * dy * dz;
  }
  const double mean = (p.Iy + p.Iz) / 2;
  const double radius = std::hypot((p.Iy - p.Iz) / 2, p.Iyz);
  p.I1 = mean + radius;
  p.I2 = mean - radius;
  p.principalAngle = 0.5 * std::atan2(-2 * p.Iyz, p.Iy - p.Iz) * 180 / kPi;
  if (p.principalAngle <= -90) p.principalAngle += 180;  // an axis: -90 and 90 are one
  return p;
}
