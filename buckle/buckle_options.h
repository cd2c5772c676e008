// The command line of zorvik-buckle: what a run is asked to do, the option
// table that fills it, and the usage text.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "console/options.h"
#include "strip/classical_buckling.h"
#include "strip/load_cases.h"
#include "strip/longitudinal.h"

struct BuckleRequest {
  int strips = 0;  // 0: the default rule
  LoadCase load;
  std::optional<Actions> actions;
  std::string loadName = "compression";  // as the run's first line shows it
  bool loadGiven = false;
  // Half-wavelengths of the signature curve, or member lengths.
  std::optional<std::vector<double>> lengths, members;
  EndConditions ends = EndConditions::SS;
  bool endsGiven = false;
  int terms = 0;  // 0: the default rule
  std::string tableCsv, curveCsv, svg;
  bool picture = true;
  // The mode shapes: at the named minima and at these half-wavelengths.
  std::optional<std::vector<double>> modesAt;
  std::string modesCsv, modesSvg;
  unsigned pure = 0;  // the pure curves asked (ModeClass flags of L, D, G)
  // The design strength: the yield stress (the files' force / length^2) and
  // the effective lengths of a column's classical global buckling.
  std::optional<double> yieldStress;
  std::optional<EffectiveLengths> effective;
};

std::vector<OptionSpec> buckleOptions(BuckleRequest& request);

// The options that cannot go together, or need another; the line that says so.
Result checkCombination(const BuckleRequest& request);

std::string buckleUsageText();
