#include "strip/strip_model.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "archive/numbers.h"
#include "section/cross_section.h"
#include "section/material.h"
#include "strip/fold_structure.h"

namespace {

// The default mesh: no strip wider than this share of the centre line.
const double kStripsAlongTheCentreLine = 32;

std::string plateName(int k) { return "plate " + std::to_string(k + 1); }

int nodeCountOf(const CrossSection& section) {
  return static_cast<int>(std::min(section.nodeY.size(), section.nodeZ.size()));
}

// Whether the plate lists hold every plate, every plate names nodes the
// section has, and every node is finite.
Result checkPlatesAndNodes(const CrossSection& section) {
  const int nodes = nodeCountOf(section);
  if (section.ns < 1) return Result::refused("the section has no plates");
  for (int i = 0; i < nodes; ++i) {
    if (!std::isfinite(section.nodeY[i]) || !std::isfinite(section.nodeZ[i])) {
      return Result::refused("node " + std::to_string(i + 1) +
                             " has a coordinate that is not finite");
    }
  }
  for (int k = 0; k < section.ns; ++k) {
    if (k >= static_cast<int>(section.startNode.size()) ||
        k >= static_cast<int>(section.endNode.size()) ||
        k >= static_cast<int>(section.t_r.size())) {
      return Result::refused("the plate lists do not hold ns = " + std::to_string(section.ns) +
                             " entries");
    }
    for (int node : {section.startNode[k], section.endNode[k]}) {
      if (node < 1 || node > nodes) {
        return Result::refused(plateName(k) + " names node " + std::to_string(node) +
                               ", which the section does not have");
      }
    }
  }
  return Result::success();
}

double plateWidth(const CrossSection& section, int k) {
  const int a = section.startNode[k] - 1, b = section.endNode[k] - 1;
  return std::hypot(section.nodeY[b] - section.nodeY[a], section.nodeZ[b] - section.nodeZ[a]);
}

double centreLineLength(const CrossSection& section) {
  double length = 0;
  for (int k = 0; k < section.ns; ++k) length += plateWidth(section, k);
  return length;
}

// The nodes and strips of a sound section whose plate k is split into
// counts[k] equal strips.
void linkStrips(const CrossSection& section, const std::vector<double>& counts, StripModel& model) {
  model.nodes.clear();
  model.strips.clear();
  std::vector<int> index(static_cast<std::size_t>(nodeCountOf(section)), -1);
  for (int k = 0; k < section.ns; ++k) {
    for (int node : {section.startNode[k], section.endNode[k]}) {
      if (index[node - 1] >= 0) continue;
      index[node - 1] = static_cast<int>(model.nodes.size());
      model.nodes.push_back({section.nodeY[node - 1], section.nodeZ[node - 1], node});
    }
  }
  for (int k = 0; k < section.ns; ++k) {
    const int first = index[section.startNode[k] - 1], last = index[section.endNode[k] - 1];
    const StripNode a = model.nodes[static_cast<std::size_t>(first)];
    const StripNode b = model.nodes[static_cast<std::size_t>(last)];
    const int pieces = static_cast<int>(counts[static_cast<std::size_t>(k)]);
    int previous = first;
    for (int p = 1; p <= pieces; ++p) {
      int next = last;
      if (p < pieces) {
        const double share = static_cast<double>(p) / pieces;
        next = static_cast<int>(model.nodes.size());
        model.nodes.push_back({a.y + share * (b.y - a.y), a.z + share * (b.z - a.z), 0});
      }
      model.strips.push_back({previous, next, section.t_r[k], k});
      previous = next;
    }
  }
}

// The strips of every plate of a sound section: the count given or the
// default, times the refinement; the plates of a rounded corner (found as
// arcStrips finds them) keep the default count, whatever is given.
std::vector<double> plateStripCounts(const CrossSection& section, int stripsPerPlate,
                                     int refinement) {
  const double centreLine = centreLineLength(section);
  std::vector<double> counts, defaults;
  for (int k = 0; k < section.ns; ++k) {
    defaults.push_back(defaultStripCount(plateWidth(section, k), centreLine));
    counts.push_back(double(refinement) * (stripsPerPlate > 0 ? stripsPerPlate : defaults.back()));
  }
  if (counts == defaults) return counts;
  StripModel plates;
  linkStrips(section, std::vector<double>(static_cast<std::size_t>(section.ns), 1.0), plates);
  const std::vector<char> arc = arcStrips(plates);
  for (std::size_t k = 0; k < counts.size(); ++k) {
    if (arc[k]) counts[k] = defaults[k];
  }
  return counts;
}

// Every plate's width above noise and its strips not too narrow.
Result checkPlateWidths(const CrossSection& section, int stripsPerPlate, int refinement) {
  double yMin = HUGE_VAL, yMax = -HUGE_VAL, zMin = HUGE_VAL, zMax = -HUGE_VAL;
  for (int k = 0; k < section.ns; ++k) {
    for (int node : {section.startNode[k], section.endNode[k]}) {
      yMin = std::min(yMin, section.nodeY[node - 1]),
      yMax = std::max(yMax, section.nodeY[node - 1]);
      zMin = std::min(zMin, section.nodeZ[node - 1]),
      zMax = std::max(zMax, section.nodeZ[node - 1]);
    }
  }
  const double size = std::max(yMax - yMin, zMax - zMin);
  for (int k = 0; k < section.ns; ++k) {
    if (!(plateWidth(section, k) > 1e-12 * size))
      return Result::refused(plateName(k) + " has no length");
  }
  const std::vector<double> counts = plateStripCounts(section, stripsPerPlate, refinement);
  for (int k = 0; k < section.ns; ++k) {
    const double width = plateWidth(section, k);
    const double t = section.t_r[k];
    const double strip = width / counts[static_cast<std::size_t>(k)];
    if (t > 0 && strip < kNarrowestStripShare * t) {
      return Result::refused(plateName(k) + " gives strips " + formatReal(strip) +
                             " wide, narrower than " + formatReal(kNarrowestStripShare) +
                             " t = " + formatReal(kNarrowestStripShare * t) +
                             ", below which the strip results do not hold");
    }
  }
  return Result::success();
}

}  // namespace

int defaultStripCount(double width, double centreLineLength) {
  const double longest = centreLineLength / kStripsAlongTheCentreLine;
  if (!(width > longest)) return 1;
  return static_cast<int>(std::ceil(width / longest - 1e-9));
}

ModelCount countStrips(const CrossSection& section, int stripsPerPlate, int refinement) {
  if (!checkPlatesAndNodes(section)) return {};
  for (int k = 0; k < section.ns; ++k) {
    if (!(plateWidth(section, k) > 0)) return {};
  }
  std::vector<bool> used(static_cast<std::size_t>(nodeCountOf(section)), false);
  const std::vector<double> counts = plateStripCounts(section, stripsPerPlate, refinement);
  ModelCount count;
  for (int k = 0; k < section.ns; ++k) {
    const double pieces = counts[static_cast<std::size_t>(k)];
    count.strips += pieces;
    count.nodes += pieces - 1;
    for (int node : {section.startNode[k], section.endNode[k]}) {
      if (!used[static_cast<std::size_t>(node - 1)]) ++count.nodes;
      used[static_cast<std::size_t>(node - 1)] = true;
    }
  }
  return count;
}

Result buildStripModel(const CrossSection& section, int stripsPerPlate, StripModel& model,
                       int refinement) {
  model = StripModel();
  Result r = checkSectionMaterial(section);
  if (r) r = checkPlatesAndNodes(section);
  if (r) r = checkPlateWidths(section, stripsPerPlate, refinement);
  if (!r) return r;
  model.E = section.E;
  model.G = section.G;
  model.MUE = section.MUE;
  linkStrips(section, plateStripCounts(section, stripsPerPlate, refinement), model);
  return Result::success();
}

double modelSize(const StripModel& model) {
  double yMin = HUGE_VAL, yMax = -HUGE_VAL, zMin = HUGE_VAL, zMax = -HUGE_VAL;
  for (const StripNode& node : model.nodes) {
    yMin = std::min(yMin, node.y), yMax = std::max(yMax, node.y);
    zMin = std::min(zMin, node.z), zMax = std::max(zMax, node.z);
  }
  return model.nodes.empty() ? 0.0 : std::max(yMax - yMin, zMax - zMin);
}
