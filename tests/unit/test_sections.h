// Sections built in memory for the unit tests.
#pragma once

#include <gtest/gtest.h>

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
