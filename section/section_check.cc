#include "section/section_check.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

#include "archive/numbers.h"
#include "section/cross_section.h"
#include "section/material.h"
#include "section/plate_geometry.h"

namespace {

// The properties' largest products, in powers of ten, stay below this,
// some way below the largest double (1.8e308).
const double kLargestPowerOfTen = 300;
// Below this share of the section's size two points are one.
const double kSizeShare = 1e-6;

std::string plateText(int k) { return "plate " + std::to_string(k + 1); }

PlanePoint nodeAt(const CrossSection& s, int node) {
  return {s.nodeY[node - 1], s.nodeZ[node - 1]};
}

// The largest absolute value of a point's coordinates.
double extent(PlanePoint p) { return std::max(std::fabs(p.y), std::fabs(p.z)); }

// What a file's six digits may put between two numbers that were one: up
// to 1e-5 of their size (one unit of the sixth digit is 1e-6 to 1e-5 of it).
double sixDigitGap(double a, double b) { return 1e-5 * std::max(std::fabs(a), std::fabs(b)); }

Result checkLists(const CrossSection& s) {
  if (s.ns < 1) return Result::refused("the section has no plates");
  const std::size_t plates = static_cast<std::size_t>(s.ns);
  const std::size_t nodes = static_cast<std::size_t>(std::max(s.nk, 0));
  if (s.startNode.size() != plates || s.endNode.size() != plates || s.b_r.size() != plates ||
      s.t_r.size() != plates || s.alpha_r.size() != plates) {
    return Result::refused("its plate lists do not hold ns = " + std::to_string(s.ns) + " entries");
  }
  if (s.nodeY.size() != nodes || s.nodeZ.size() != nodes) {
    return Result::refused("its node lists do not hold nk = " + std::to_string(s.nk) + " entries");
  }
  for (int k = 0; k < s.ns; ++k) {
    for (const bool start : {true, false}) {
      const int node = start ? s.startNode[k] : s.endNode[k];
      if (node < 1 || node > s.nk) {
        return Result::refused(plateText(k) + (start ? " starts" : " ends") + " at node " +
                               std::to_string(node) + ", which the section does not have");
      }
    }
  }
  return Result::success();
}

// The largest side of the nodes' bounding box.
double nodeBoxSize(const CrossSection& s) {
  const auto [yMin, yMax] = std::minmax_element(s.nodeY.begin(), s.nodeY.end());
  const auto [zMin, zMax] = std::minmax_element(s.nodeZ.begin(), s.nodeZ.end());
  return s.nk > 0 ? std::max(*yMax - *yMin, *zMax - *zMin) : 0.0;
}

// Every plate's b_r not below 0, and the end that it and alpha_r give finite.
Result checkPlateLengths(const CrossSection& s) {
  for (int k = 0; k < s.ns; ++k) {
    const double b = s.b_r[k];
    if (b < 0) {
      return Result::refused(plateText(k) + " has the width b_r = " + formatReal(b) + ", below 0");
    }
    const PlanePoint end = plateEnd(nodeAt(s, s.startNode[k]), b, s.alpha_r[k]);
    if (!std::isfinite(b) || !std::isfinite(end.y) || !std::isfinite(end.z)) {
      return Result::refused(plateText(k) + " has no finite length");
    }
  }
  return Result::success();
}

// b_r and alpha_r lead from the start node to the end node. A file holds six
// digits of each number, so the end that they give may be off by 5e-6 of
// each coordinate, of b_r, and b_r times the angle's error (5e-6 of it, in
// radians), up to kMostDegreesHeld.
double endTolerance(double size, PlanePoint from, PlanePoint to, double b, double alpha) {
  const double degreesHeld = std::min(std::fabs(alpha), kMostDegreesHeld);
  return kSizeShare * size + 1e-5 * (extent(from) + extent(to)) +
         b * 1e-5 * (1 + radians(degreesHeld));
}

Result checkPlateEnds(const CrossSection& s) {
  const double size = nodeBoxSize(s);
  for (int k = 0; k < s.ns; ++k) {
    const double b = s.b_r[k];
    const PlanePoint from = nodeAt(s, s.startNode[k]);
    const PlanePoint to = nodeAt(s, s.endNode[k]);
    const PlanePoint end = plateEnd(from, b, s.alpha_r[k]);
    const double tolerance = endTolerance(size, from, to, b, s.alpha_r[k]);
    if (std::fabs(end.y - to.y) <= tolerance && std::fabs(end.z - to.z) <= tolerance) continue;
    const double dy = to.y - from.y, dz = to.z - from.z;
    double angle = degrees(std::atan2(-dz, -dy));
    if (angle == 0.0 || angle == -180.0) angle = std::fabs(angle);  // never "-0", and 180 not -180
    return Result::refused(plateText(k) + " runs from node " + std::to_string(s.startNode[k]) +
                           " to node " + std::to_string(s.endNode[k]) + " (length " +
                           formatReal(std::hypot(dy, dz)) + ", angle " + formatReal(angle) +
                           "), but its b_r and alpha_r say " + formatReal(b) + " and " +
                           formatReal(s.alpha_r[k]));
  }
  return Result::success();
}

// The properties are sums over the plates of products of lengths and
// thicknesses, and the largest of them is the shear centre's numerator: a
// sectorial product (t b omega y, omega up to twice the section's extent
// times the centre line's length) times a second moment (t b y^2), of the
// seventh power of the lengths L and the second of the thickness T. With
// L the larger of the centre line's length and the nodes' extent from the
// origin, every product stays below 10^kLargestPowerOfTen.
Result checkMagnitudes(const CrossSection& s) {
  double length = 0, widest = 0, extentOfNodes = 0, thickness = 0;
  for (int k = 0; k < s.ns; ++k) {
    length += s.b_r[k];
    widest = std::max(widest, s.b_r[k]);
    if (s.t_r[k] > 0) thickness = std::max(thickness, s.t_r[k]);
  }
  for (int n = 1; n <= s.nk; ++n) extentOfNodes = std::max(extentOfNodes, extent(nodeAt(s, n)));
  const double L = std::max({length, extentOfNodes, 1e-300});
  const double logL = std::log10(4 * L);
  const double logT = std::log10(std::max(thickness, 1e-300));
  const double largest = std::max({7 * logL + 2 * logT, 6 * logL + 2 * logT, 5 * logL + logT,
                                   4 * logL + logT, logL + 3 * logT});
  if (std::isfinite(length) && largest < kLargestPowerOfTen) return Result::success();
  return Result::refused("its lengths (up to " + formatReal(std::max(widest, extentOfNodes)) +
                         ") and thicknesses (up to " + formatReal(thickness) +
                         ") make its properties too large to compute");
}

}  // namespace

Result checkSectionData(const CrossSection& section, FileThicknesses thicknesses) {
  Result r = checkLists(section);
  if (r) r = checkPlateLengths(section);
  if (r) r = section.checkFinite();
  if (r) r = checkMaterial(section.E, section.G, section.MUE);
  if (r && thicknesses == FileThicknesses::kUsed) r = checkPlateStiffnesses(section);
  if (r) r = checkPlateEnds(section);
  if (r) r = checkMagnitudes(section);
  return r;
}

namespace {

// A node in a grid of cells as large as the widest tolerance of two nodes,
// so that two nodes at one point lie in one cell or in cells side by side.
struct GridNode {
  std::int64_t cellY;
  std::int64_t cellZ;
  int node;
  bool operator<(const GridNode& other) const {
    return cellY != other.cellY   ? cellY < other.cellY
           : cellZ != other.cellZ ? cellZ < other.cellZ
                                  : node < other.node;
  }
};

// Nodes at one point: within what six digits put between their coordinates,
// or 1e-6 of the section's size.
struct OnePointPairs {
  const CrossSection& s;
  double sizeTolerance;
  std::vector<std::uint64_t> plateKeys;  // the node pairs that plates join, sorted
  int pairs = 0;
  int firstA = 0, firstB = 0;

  static std::uint64_t key(int a, int b) {
    return (static_cast<std::uint64_t>(std::min(a, b)) << 32) |
           static_cast<unsigned>(std::max(a, b));
  }
  bool joined(int a, int b) {
    if (plateKeys.empty()) {
      for (int k = 0; k < s.ns; ++k) plateKeys.push_back(key(s.startNode[k], s.endNode[k]));
      std::sort(plateKeys.begin(), plateKeys.end());
    }
    return std::binary_search(plateKeys.begin(), plateKeys.end(), key(a, b));
  }
  bool atOnePoint(int a, int b) const {
    const double ya = s.nodeY[a - 1], yb = s.nodeY[b - 1];
    const double za = s.nodeZ[a - 1], zb = s.nodeZ[b - 1];
    return std::fabs(ya - yb) <= std::max(sixDigitGap(ya, yb), sizeTolerance) &&
           std::fabs(za - zb) <= std::max(sixDigitGap(za, zb), sizeTolerance);
  }
  void consider(int a, int b) {
    if (a == b || !atOnePoint(a, b) || joined(a, b)) return;
    if (a > b) std::swap(a, b);
    if (pairs == 0 || a < firstA || (a == firstA && b < firstB)) firstA = a, firstB = b;
    ++pairs;
  }
};

// Every node against the nodes after it in its own cell and the cell above,
// and in the three cells of the next column.
void findOnePointPairs(const std::vector<GridNode>& grid, OnePointPairs& found) {
  for (std::size_t i = 0; i < grid.size(); ++i) {
    const GridNode& here = grid[i];
    for (std::size_t j = i + 1;
         j < grid.size() && grid[j].cellY == here.cellY && grid[j].cellZ <= here.cellZ + 1; ++j) {
      found.consider(here.node, grid[j].node);
    }
    auto next =
        std::lower_bound(grid.begin(), grid.end(), GridNode{here.cellY + 1, here.cellZ - 1, 0});
    for (; next != grid.end() && next->cellY == here.cellY + 1 && next->cellZ <= here.cellZ + 1;
         ++next) {
      found.consider(here.node, next->node);
    }
  }
}

std::string onePointNote(const CrossSection& s, const std::string& fileName) {
  double largest = 0;
  for (int n = 1; n <= s.nk; ++n) largest = std::max(largest, extent(nodeAt(s, n)));
  OnePointPairs found{s, kSizeShare * nodeBoxSize(s), {}};
  double cell = std::max(found.sizeTolerance, sixDigitGap(largest, 0));
  if (!(cell > 0)) cell = 1;  // every node at the origin: one cell
  std::vector<GridNode> grid;
  grid.reserve(static_cast<std::size_t>(s.nk));
  for (int n = 1; n <= s.nk; ++n) {
    const PlanePoint p = nodeAt(s, n);
    grid.push_back({static_cast<std::int64_t>(std::floor(p.y / cell)),
                    static_cast<std::int64_t>(std::floor(p.z / cell)), n});
  }
  std::sort(grid.begin(), grid.end());
  findOnePointPairs(grid, found);
  if (found.pairs == 0) return std::string();
  const std::string more =
      found.pairs == 1 ? "" : " (and " + std::to_string(found.pairs - 1) + " more pairs of nodes)";
  return "Note: nodes " + std::to_string(found.firstA) + " and " + std::to_string(found.firstB) +
         " of " + fileName + " lie at one point" + more +
         "; the section is analysed as open there.";
}

}  // namespace

std::vector<std::string> sectionNotes(const CrossSection& section, const std::string& fileName) {
  std::vector<std::string> notes;
  for (const std::string& note :
       {modulusNote(section, fileName), onePointNote(section, fileName)}) {
    if (!note.empty()) notes.push_back(note);
  }
  return notes;
}

Result loadSection(const std::string& fileName, CrossSection& section,
                   std::vector<std::string>& notes, FileThicknesses thicknesses) {
  notes.clear();
  const Result loaded = failedWhenOutOfMemory(
      [&] {
        Result r = section.load(fileName);
        if (r) r = checkSectionData(section, thicknesses);
        if (r) notes = sectionNotes(section, fileName);
        return r;
      },
      "out of memory while reading it");
  if (loaded.isFailed()) section = CrossSection();
  return loaded;
}
