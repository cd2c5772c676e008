// Gross section properties of a section in the thin-walled line model: each
// plate is a rectangle of its length b_r and thickness t_r along its centre
// line, its own second moments included.
#pragma once

#include "platform/result.h"
#include "section/cross_section.h"

struct SectionProperties {
  double area = 0.0;
  double yc = 0.0;  // centroid
  double zc = 0.0;
  double Iy = 0.0;   // integral of (z - zc)^2 dA
  double Iz = 0.0;   // integral of (y - yc)^2 dA
  double Iyz = 0.0;  // integral of (y - yc)(z - zc) dA
  double I1 = 0.0;   // principal moments, I1 >= I2
  double I2 = 0.0;
  double principalAngle = 0.0;  // degrees (-90, 90] from the y axis to the axis of I1

  // Torsion and warping, for an open section whose plates are all connected
  // (branched or not). Failure: why they are not given (a closed cell, parts
  // not connected); the values are then 0.
  Result torsionAndWarping = Result::success();
  double J = 0.0;   // St. Venant torsion constant, sum of b t^3 / 3
  double ys = 0.0;  // shear centre
  double zs = 0.0;
  double Iw = 0.0;     // warping constant about the shear centre
  double i0 = 0.0;     // polar radius of gyration about the shear centre
  double beta1 = 0.0;  // monosymmetry constants in principal axes
  double beta2 = 0.0;
};

// The centre line of plate k: from its start node along -(cos, sin) of alpha_r.
struct PlateLine {
  double y1, z1, y2, z2;
};
PlateLine plateLine(const CrossSection& section, int plate);

// Whether the section can be drawn and measured: the data check of every
// program, checkSectionData (section/section_check.h), by the name that the
// buckling program calls it.
Result checkMeasurable(const CrossSection& section);

// Needs a section that checkMeasurable accepts.
SectionProperties computeProperties(const CrossSection& section);

// The larger side of the bounding box of the plates' centre lines (a
// measurable section); 0 without plates.
double sectionSize(const CrossSection& section);
