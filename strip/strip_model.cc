#include "strip/strip_model.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "archive/numbers.h"
#include "section/cross_section.h"
#include "section/material.h"

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

int stripsOfPlate(double width, double centreLine, int stripsPerPlate, int refinement) {
  return refinement * (stripsPerPlate > 0 ? stripsPerPlate : defaultStripCount(width, centreLine));
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
  const double centreLine = centreLineLength(section);
  for (int k = 0; k < section.ns; ++k) {
    const double width = plateWidth(section, k);
    if (!(width > 1e-12 * size)) return Result::refused(plateName(k) + " has no length");
    const double t = section.t_r[k];
    const double strip = width / stripsOfPlate(width, centreLine, stripsPerPlate, refinement);
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
  std::vector<bool> used(static_cast<std::size_t>(nodeCountOf(section)), false);
  const double centreLine = centreLineLength(section);
  ModelCount count;
  for (int k = 0; k < section.ns; ++k) {
    const double pieces =
        refinement * (stripsPerPlate > 0 ? static_cast<double>(stripsPerPlate)
                                         : defaultStripCount(plateWidth(section, k), centreLine));
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
  std::vector<int> index(static_cast<std::size_t>(nodeCountOf(section)), -1);
  for (int k = 0; k < section.ns; ++k) {
    for (int node : {section.startNode[k], section.endNode[k]}) {
      if (index[node - 1] >= 0) continue;
      index[node - 1] = static_cast<int>(model.nodes.size());
      model.nodes.push_back({section.nodeY[node - 1], section.nodeZ[node - 1], node});
    }
  }
  const double centreLine = centreLineLength(section);
  for (int k = 0; k < section.ns; ++k) {
    const int first = index[section.startNode[k] - 1], last = index[section.endNode[k] - 1];
    const StripNode a = model.nodes[static_cast<std::size_t>(first)];
    const StripNode b = model.nodes[static_cast<std::size_t>(last)];
    const int pieces =
        stripsOfPlate(plateWidth(section, k), centreLine, stripsPerPlate, refinement);
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
