// Sections built in memory for the unit tests.
#pragma once

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <vector>

#include "rounding/corner_rounding.h"
#include "rounding/thickness.h"
#include "section/cross_section.h"

// An open chain of plates with the given widths and angles (degrees), rebuilt
// from the origin, every plate t thick.
inline CrossSection chain(const std::vector<double>& widths, const std::vector<double>& angles,
                          double t = 2) {
  CrossSection section;
  section.b_r.assign(widths.begin(), widths.end());
  section.alpha_r.assign(angles.begin(), angles.end());
  rebuildFromPlates(section);
  EXPECT_TRUE(setThickness(section, t).ok());
  return section;
}

using Line = std::array<double, 4>;  // y1, z1, y2, z2 of a plate's centre line

// A section from its plates' centre lines; plates whose ends meet share a node.
inline CrossSection fromLines(const std::vector<Line>& lines, double t) {
  CrossSection section;
  auto node = [&](double y, double z) {
    for (std::size_t i = 0; i < section.nodeY.size(); ++i) {
      if (std::hypot(section.nodeY[int(i)] - y, section.nodeZ[int(i)] - z) < 1e-9) {
        ++section.nodePlateCount[int(i)];
        return int(i) + 1;
      }
    }
    section.nodeY.push_back(y);
    section.nodeZ.push_back(z);
    section.nodePlateCount.push_back(1);
    return int(section.nodeY.size());
  };
  for (const Line& l : lines) {
    section.startNode.push_back(node(l[0], l[1]));
    section.endNode.push_back(node(l[2], l[3]));
    section.b_r.push_back(std::hypot(l[2] - l[0], l[3] - l[1]));
    // The end lies at the start minus b (cos alpha, sin alpha).
    section.alpha_r.push_back(std::atan2(l[1] - l[3], l[0] - l[2]) * 180 / 3.14159265358979323846);
  }
  section.ns = int(lines.size());
  section.nk = int(section.nodeY.size());
  EXPECT_TRUE(setThickness(section, t).ok());
  return section;
}
