#include "section/section_properties.h"

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "section/plate_geometry.h"
#include "section/section_check.h"
#include "section/trigonometry.h"

namespace {

// Below this share of I_y + I_z a product of inertia is rounding noise.
const double kNoise = 1e-12;
// Second moments that agree within this share of their size are equal: the
// principal axes are then the section's own, not an axis that the rounding
// of the coordinates picks.
const double kSameMoments = 1e-9;

// The integral along a plate of length L of a polynomial of degree 3 or less
// in the distance along it, from its values at the start, the middle and the
// end. Simpson's rule is exact there, and every integrand of the centre-line
// model is such a product of up to three linear functions.
double alongPlate(double length, double atStart, double atMiddle, double atEnd) {
  return length / 6 * (atStart + 4 * atMiddle + atEnd);
}

// A plate of the centre-line model: its line, thickness, and the sectorial
// coordinate at its two ends.
struct SectorialPlate {
  PlateLine line;
  double length;
  double t;
  double omega1 = 0.0;
  double omega2 = 0.0;
};

// Twice the area swept from pole (py, pz) along the line: the change of the
// sectorial coordinate from its start to its end.
double sweep(const PlateLine& line, double py, double pz) {
  return (line.y1 - py) * (line.z2 - line.z1) - (line.z1 - pz) * (line.y2 - line.y1);
}

// The sectorial coordinate about (py, pz), carried from plate to plate
// through the nodes from node 1 of the first plate. Fails for a closed cell
// or plates that are not all connected.
Result sectorialCoordinates(const CrossSection& section, double py, double pz,
                            std::vector<SectorialPlate>& plates) {
  const int nodeCount = static_cast<int>(std::min(section.nodeY.size(), section.nodeZ.size()));
  std::vector<std::vector<int>> platesAt(static_cast<std::size_t>(nodeCount));
  for (int k = 0; k < section.ns; ++k) {
    const int start = section.startNode[k] - 1;
    const int end = k < static_cast<int>(section.endNode.size()) ? section.endNode[k] - 1 : -1;
    if (end < 0 || end >= nodeCount) {
      return Result::failure("plate " + std::to_string(k + 1) + " ends at no node of the section");
    }
    if (start == end) return Result::failure("plate " + std::to_string(k + 1) + " is a loop");
    platesAt[static_cast<std::size_t>(start)].push_back(k);
    platesAt[static_cast<std::size_t>(end)].push_back(k);
    const PlateLine line = plateLine(section, k);
    plates.push_back({line, section.b_r[k], section.t_r[k]});
  }
  // A walk over the plates from the first plate's start node: every plate is
  // reached once from one of its nodes; a node reached twice closes a cell.
  std::vector<double> omegaAt(static_cast<std::size_t>(nodeCount), 0.0);
  std::vector<bool> nodeReached(static_cast<std::size_t>(nodeCount), false);
  std::vector<bool> plateReached(plates.size(), false);
  std::vector<int> waiting{section.startNode[0] - 1};
  nodeReached[static_cast<std::size_t>(waiting.front())] = true;
  std::size_t reached = 0;
  while (!waiting.empty()) {
    const int node = waiting.back();
    waiting.pop_back();
    for (int k : platesAt[static_cast<std::size_t>(node)]) {
      if (plateReached[static_cast<std::size_t>(k)]) continue;
      plateReached[static_cast<std::size_t>(k)] = true;
      ++reached;
      SectorialPlate& plate = plates[static_cast<std::size_t>(k)];
      const bool fromStart = section.startNode[k] - 1 == node;
      const int other = (fromStart ? section.endNode[k] : section.startNode[k]) - 1;
      if (nodeReached[static_cast<std::size_t>(other)]) {
        return Result::failure("its plates form a closed cell");
      }
      const double change = sweep(plate.line, py, pz);
      const double here = omegaAt[static_cast<std::size_t>(node)];
      plate.omega1 = fromStart ? here : here - change;
      plate.omega2 = fromStart ? here + change : here;
      omegaAt[static_cast<std::size_t>(other)] = fromStart ? plate.omega2 : plate.omega1;
      nodeReached[static_cast<std::size_t>(other)] = true;
      waiting.push_back(other);
    }
  }
  if (reached != plates.size()) return Result::failure("its plates are not all connected");
  return Result::success();
}

// Centre-line second moments and sectorial products about the centroid,
// with the centroid as the pole.
struct CentroidProducts {
  double Iyy = 0, Izz = 0, Iyz = 0, Iwy = 0, Iwz = 0;
};

CentroidProducts centroidProducts(const std::vector<SectorialPlate>& plates,
                                  const SectionProperties& p) {
  CentroidProducts c;
  for (const SectorialPlate& plate : plates) {
    const double y1 = plate.line.y1 - p.yc, y2 = plate.line.y2 - p.yc, ym = (y1 + y2) / 2;
    const double z1 = plate.line.z1 - p.zc, z2 = plate.line.z2 - p.zc, zm = (z1 + z2) / 2;
    const double w1 = plate.omega1, w2 = plate.omega2, wm = (w1 + w2) / 2;
    const double tl = plate.t * plate.length;
    c.Iyy += alongPlate(tl, y1 * y1, ym * ym, y2 * y2);
    c.Izz += alongPlate(tl, z1 * z1, zm * zm, z2 * z2);
    c.Iyz += alongPlate(tl, y1 * z1, ym * zm, y2 * z2);
    c.Iwy += alongPlate(tl, w1 * y1, wm * ym, w2 * y2);
    c.Iwz += alongPlate(tl, w1 * z1, wm * zm, w2 * z2);
  }
  return c;
}

// Moves the sectorial coordinate of every plate to the pole S = C + (b, a)
// (the constants y0, z0 drop out in the normalisation) and returns its mean.
double moveToShearCentre(std::vector<SectorialPlate>& plates, const SectionProperties& p, double a,
                         double b) {
  double mean = 0;
  for (SectorialPlate& plate : plates) {
    plate.omega1 += a * (plate.line.y1 - p.yc) - b * (plate.line.z1 - p.zc);
    plate.omega2 += a * (plate.line.y2 - p.yc) - b * (plate.line.z2 - p.zc);
    mean += plate.t * plate.length * (plate.omega1 + plate.omega2) / 2;
  }
  return mean / p.area;
}

// The warping constant about the shear centre (a = z_s - z_c, b = y_s -
// y_c) and the monosymmetry constants in principal axes.
void addWarpingAndMonosymmetry(const std::vector<SectorialPlate>& plates, double mean, double a,
                               double b, SectionProperties& p) {
  const double angle = radians(p.principalAngle);
  const double c = portableCos(angle), s = portableSin(angle);
  double vr2 = 0, ur2 = 0;
  for (const SectorialPlate& plate : plates) {
    const double w1 = plate.omega1 - mean, w2 = plate.omega2 - mean, wm = (w1 + w2) / 2;
    const double tl = plate.t * plate.length;
    p.Iw += alongPlate(tl, w1 * w1, wm * wm, w2 * w2);
    // u along the axis of I_1, v along that of I_2 (u turned by +90 degrees).
    auto u = [&](double y, double z) { return (y - p.yc) * c + (z - p.zc) * s; };
    auto v = [&](double y, double z) { return -(y - p.yc) * s + (z - p.zc) * c; };
    const double ym = (plate.line.y1 + plate.line.y2) / 2, zm = (plate.line.z1 + plate.line.z2) / 2;
    const double u1 = u(plate.line.y1, plate.line.z1), v1 = v(plate.line.y1, plate.line.z1);
    const double u2 = u(plate.line.y2, plate.line.z2), v2 = v(plate.line.y2, plate.line.z2);
    const double um = u(ym, zm), vm = v(ym, zm);
    const double r1 = u1 * u1 + v1 * v1, r2 = u2 * u2 + v2 * v2, rm = um * um + vm * vm;
    vr2 += alongPlate(tl, v1 * r1, vm * rm, v2 * r2);
    ur2 += alongPlate(tl, u1 * r1, um * rm, u2 * r2);
  }
  const double us = b * c + a * s;
  const double vs = -b * s + a * c;
  p.beta1 = (p.I1 == 0.0 ? 0.0 : vr2 / p.I1) - 2 * vs;
  p.beta2 = (p.I2 == 0.0 ? 0.0 : ur2 / p.I2) - 2 * us;
}

// Shear centre, warping constant and monosymmetry constants; p holds the
// gross properties.
void addTorsionAndWarping(const CrossSection& section, SectionProperties& p) {
  for (int k = 0; k < section.ns; ++k) {
    p.J += section.b_r[k] * section.t_r[k] * section.t_r[k] * section.t_r[k] / 3;
  }
  std::vector<SectorialPlate> plates;
  p.torsionAndWarping = sectorialCoordinates(section, p.yc, p.zc, plates);
  if (!p.torsionAndWarping || p.area == 0.0) {
    p.J = 0.0;
    return;
  }
  const CentroidProducts c = centroidProducts(plates, p);
  // About the shear centre S the sectorial products vanish. With
  // a = z_s - z_c and b = y_s - y_c, omega_S = omega_C + a (y - y0) - b (z - z0), so
  //   a Iyy - b Iyz = -Iwy  and  a Iyz - b Izz = -Iwz.
  const double det = c.Iyz * c.Iyz - c.Iyy * c.Izz;
  const double a = det == 0.0 ? 0.0 : (c.Iwy * c.Izz - c.Iyz * c.Iwz) / det;
  const double b = det == 0.0 ? 0.0 : (c.Iyz * c.Iwy - c.Iyy * c.Iwz) / det;
  p.ys = p.yc + b;
  p.zs = p.zc + a;
  const double mean = moveToShearCentre(plates, p, a, b);
  addWarpingAndMonosymmetry(plates, mean, a, b, p);
  p.i0 = std::sqrt((p.Iy + p.Iz) / p.area + a * a + b * b);
}

}  // namespace

PlateLine plateLine(const CrossSection& section, int plate) {
  const int start = section.startNode[plate] - 1;
  const PlanePoint from{section.nodeY[start], section.nodeZ[start]};
  const PlanePoint to = plateEnd(from, section.b_r[plate], section.alpha_r[plate]);
  return {from.y, from.z, to.y, to.z};
}

Result checkMeasurable(const CrossSection& section) { return checkSectionData(section); }

double sectionSize(const CrossSection& section) {
  double yMin = HUGE_VAL, yMax = -HUGE_VAL, zMin = HUGE_VAL, zMax = -HUGE_VAL;
  for (int k = 0; k < section.ns; ++k) {
    const PlateLine line = plateLine(section, k);
    yMin = std::min({yMin, line.y1, line.y2}), yMax = std::max({yMax, line.y1, line.y2});
    zMin = std::min({zMin, line.z1, line.z2}), zMax = std::max({zMax, line.z1, line.z2});
  }
  return section.ns > 0 ? std::max(yMax - yMin, zMax - zMin) : 0.0;
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
  if (std::fabs(p.Iyz) < kNoise * (p.Iy + p.Iz)) p.Iyz = 0.0;
  const double mean = (p.Iy + p.Iz) / 2;
  const double radius = std::hypot((p.Iy - p.Iz) / 2, p.Iyz);
  p.I1 = mean + radius;
  p.I2 = mean - radius;
  // With I_1 = I_2 every axis is a principal axis: the y axis is taken.
  p.principalAngle = p.I1 - p.I2 <= kSameMoments * std::fabs(p.I1)
                         ? 0.0
                         : degrees(0.5 * std::atan2(-2 * p.Iyz, p.Iy - p.Iz));
  if (p.principalAngle <= -90) p.principalAngle += 180;  // an axis: -90 and 90 are one
  if (p.principalAngle == 0.0) p.principalAngle = 0.0;   // never "-0"
  if (section.ns > 0) addTorsionAndWarping(section, p);
  return p;
}
