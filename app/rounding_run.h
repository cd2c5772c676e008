// The rounding dialogue and the generation loop: describe the input section,
// ask the questions, then for every radius of the series round a freshly
// loaded copy of the section and save it twice (for MAV3 and, with "-shear"
// in its name, for MAV4).
#pragma once

#include <string>
#include <vector>

class Console;

// The run's settings, fixed once the questions are answered.
struct RoundingSettings {
  std::string inputName;
  int plateCount = 0;
  double thickness = 0.0;
  int radiusCount = 1;
  double firstRadius = 0.0;
  double lastRadius = 0.0;
  bool convex = true;
  int elementsPerCorner = 4;
  int subdivide = 0;
  std::vector<int> divisionNumbers;
};

// Returns the exit code: 0 after a run in which every file was written, 1 for
// a radius count of 0, a section that cannot be used, or a file not written.
int runRounding(const std::string& inputName, Console& console);
