// One round of the generation: for one radius, the input section is loaded
// afresh, rounded, given the run's thickness and written twice beside the
// input: for MAV3 ("-rrN", FG "uf") and for MAV4 ("-rrN-shear", FG "ufs",
// Typ 6). The program, the benchmark and the fuzz target all make their
// files through generateRound.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "platform/result.h"
#include "rounding/corner_rounding.h"
#include "rounding/thickness.h"

// What every round of a run shares.
struct GenerationSettings {
  std::string outputFolder;         // empty: the files go beside the input
  std::optional<double> thickness;  // none: each plate keeps its own
  ThicknessRange ownThicknesses;    // the loaded plates', for the explanation
  bool convex = true;
  int elementsPerCorner = kDefaultElementsPerCorner;
  std::vector<int> divisionNumbers;  // one per plate of the loaded section
  bool subdivided = false;           // the division numbers were given
};

struct WrittenFile {
  std::string name;
  Result saved;  // failure: this file was not written, with the reason
};

struct RoundOutcome {
  Result loaded = Result::success();    // failure: the input could not be read again
  Result prepared = Result::success();  // failure: the section could not be rounded
  std::vector<int> misfitCorners;       // not empty: the radius does not fit; no files
  std::string fitNote;                  // then: what does fit (largestRadiusNote)
  std::vector<WrittenFile> files;       // in the order of writing: MAV3, then MAV4

  // True when both files were written.
  bool complete() const;
};

// The radii of a series of count radii from first to last; count 1 is the
// first alone. The radius is accumulated by addition, and the half step lets
// the last radius in despite rounding error and keeps one more out. A step
// of 0 or below gives no radius.
std::vector<double> radiusSeries(double first, double last, int count);

// The explanation line that every generated file gets.
extern const char* const kGeneratedBy;

// The explanation line that records how a file was made: "Radius 4,
// convex, 4 elements per corner, thickness 2" ("(inner 3)" after the radius
// when it was given as an inner radius; "thicknesses 1.5 to 3" when each
// plate kept its own; ", divisions 2 4 2" when the plates were subdivided);
// "Not rounded (0 elements per corner), thickness 2" without arc plates.
std::string howMade(const GenerationSettings& settings, double radius, double innerRadius);

// The round of `radius` (on the centre line; innerRadius above 0 when it was
// given as an inner radius), the counter-th of its series.
RoundOutcome generateRound(const std::string& inputName, const GenerationSettings& settings,
                           double radius, int counter, double innerRadius = 0.0);
