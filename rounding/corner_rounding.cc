// Corner rounding: every corner of an open plate chain becomes a circular arc
// of short straight plates, and the straight part of each plate may be split
// into equal pieces. Angles are in degrees; a plate's end node lies at its
// start node minus b_r * (cos alpha_r, sin alpha_r).
#include "rounding/corner_rounding.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "rounding/trigonometry.h"

namespace {

const double kPi = 3.14159265358979323846;
const double kStraightTolerance = 0.01;  // degrees; a smaller turn is no corner
const double kTangentShare = 0.9;        // of a plate's width the tangent may take

double radians(double degrees) { return degrees * kPi / 180.0; }

std::string plateRunText(int plate, int from, int to) {
  return "plate " + std::to_string(plate) + " runs from node " + std::to_string(from) +
         " to node " + std::to_string(to);
}

// Appends the straight part of a plate, split into d equal pieces.
void appendStraightPart(double length, double angle, int d, RealList& widths, RealList& angles) {
  if (d == 1) {
    widths.push_back(length);
    angles.push_back(angle);
    return;
  }
  const double piece = length / d;
  for (int i = 0; i < d; ++i) {
    widths.push_back(piece);
    angles.push_back(angle);
  }
}

}  // namespace

double shortTurn(double incomingAngle, double outgoingAngle) {
  double turn = std::fmod(incomingAngle - outgoingAngle, 360.0);
  if (turn > 180.0) turn -= 360.0;
  if (turn <= -180.0) turn += 360.0;
  return turn;
}

Result CrossSection::checkChain() const {
  if (ns < 1) return Result::failure("the section has no plates");
  if (nk != ns + 1) {
    return Result::failure("it has " + std::to_string(ns) + " plates and " + std::to_string(nk) +
                           " nodes; an open chain has one node more than plates");
  }
  const std::size_t plates = static_cast<std::size_t>(ns);
  const std::size_t nodes = static_cast<std::size_t>(nk);
  if (startNode.size() != plates || endNode.size() != plates || b_r.size() != plates ||
      t_r.size() != plates || alpha_r.size() != plates || K_r.size() != plates) {
    return Result::failure("its plate lists do not hold ns = " + std::to_string(ns) + " entries");
  }
  if (nodeY.size() != nodes || nodeZ.size() != nodes || nodePlateCount.size() != nodes) {
    return Result::failure("its node lists do not hold nk = " + std::to_string(nk) + " entries");
  }
  for (int k = 0; k < ns; ++k) {
    if (startNode[k] != k + 1 || endNode[k] != k + 2) {
      return Result::failure(plateRunText(k + 1, startNode[k], endNode[k]) +
                             "; the chain must be numbered along its plates");
    }
  }
  for (int node = 0; node < nk; ++node) {
    const int expected = (node == 0 || node == nk - 1) ? 1 : 2;
    if (nodePlateCount[node] != expected) {
      return Result::failure("node " + std::to_string(node + 1) + " joins " +
                             std::to_string(nodePlateCount[node]) +
                             " plates; an open chain joins " + std::to_string(expected) + " there");
    }
  }
  return Result::success();
}

NodePlates CrossSection::findPlatesAtNode(int node) const {
  NodePlates found;
  const int number = node + 1;
  for (int k = 0; k < ns; ++k) {
    if (startNode[k] == number) found.outgoing = k;
    if (endNode[k] == number) found.incoming = k;
  }
  return found;
}

// The same rule as findPlatesAtNode, for all nodes in one pass over the plates.

std::vector<NodePlates> CrossSection::platesAtEveryNode() const {
  std::vector<NodePlates> index(static_cast<std::size_t>(nk > 0 ? nk : 0));
  for (int k = 0; k < ns; ++k) {
    const unsigned start = static_cast<unsigned>(startNode[k] - 1);
    const unsigned end = static_cast<unsigned>(endNode[k] - 1);
    if (start < index.size()) index[start].outgoing = k;
    if (end < index.size()) index[end].incoming = k;
  }
  return index;
}

bool CrossSection::isCorner(int node) const { return isCorner(node, findPlatesAtNode(node)); }

bool CrossSection::isCorner(int node, const NodePlates& plates) const {
  if (nodePlateCount[node] != 2) return false;
  return std::fabs(shortTurn(alpha_r[plates.incoming], alpha_r[plates.outgoing])) >
         kStraightTolerance;
}

CornerArc CrossSection::computeCornerArc(double radius, int elementsPerCorner, int node) const {
  return computeCornerArc(radius, elementsPerCorner, findPlatesAtNode(node));
}

CornerArc CrossSection::computeCornerArc(double radius, int elementsPerCorner,
                                         const NodePlates& plates) const {
  return arcBetween(radius, elementsPerCorner, plates, b_r);
}

CornerArc CrossSection::arcBetween(double radius, int elementsPerCorner, const NodePlates& plates,
                                   const RealList& widths) const {
  const double turn = shortTurn(alpha_r[plates.incoming], alpha_r[plates.outgoing]);
  CornerArc arc;
  arc.elementCount = elementsPerCorner;
  arc.angleStep = turn / elementsPerCorner;
  // A plate folded back on itself has no tangent point at any distance.
  arc.tangentLength =
      std::fabs(turn) == 180.0 ? HUGE_VAL : std::fabs(radius * portableTan(radians(turn / 2)));
  arc.fits = kTangentShare * widths[plates.outgoing] >= arc.tangentLength &&
             kTangentShare * widths[plates.incoming] >= arc.tangentLength;
  if (arc.fits) arc.elementLength = std::fabs(2 * radius * portableSin(radians(arc.angleStep / 2)));
  return arc;
}

long long CrossSection::countRoundedPlates(bool rounding, int elementsPerCorner,
                                           const std::vector<NodePlates>& platesAt,
                                           const std::vector<int>& divisionNumbers) const {
  long long plates = 0;
  for (int d : divisionNumbers) plates += d;
  if (!rounding) return plates;
  for (int j = 1; j + 1 < nk; ++j) {
    if (isCorner(j, platesAt[static_cast<std::size_t>(j)])) plates += elementsPerCorner;
  }
  return plates;
}

RoundingReport CrossSection::roundCorners(double radius, int elementsPerCorner, bool convex,
                                          std::vector<int> divisionNumbers) {
  RoundingReport report;
  if (Typ != 1) return report;
  report.accepted = checkChain();
  if (report.accepted && divisionNumbers.size() != static_cast<std::size_t>(ns)) {
    report.accepted = Result::failure("there are " + std::to_string(divisionNumbers.size()) +
                                      " division numbers for " + std::to_string(ns) + " plates");
  }
  if (!report.accepted) return report;

  // Without arc plates, or with radius 0, there is nothing to round: only
  // the subdivision applies. A division number below 1 counts as 1, so that
  // no plate disappears from the chain.
  const bool rounding = elementsPerCorner >= 1 && radius != 0.0;
  for (int& d : divisionNumbers) d = std::max(d, 1);
  const std::vector<NodePlates> platesAt = platesAtEveryNode();
  const long long resultPlates =
      countRoundedPlates(rounding, elementsPerCorner, platesAt, divisionNumbers);
  if (resultPlates > kMaxRoundedPlates) {
    report.accepted =
        Result::failure("the result would have " + std::to_string(resultPlates) +
                        " plates; at most " + std::to_string(kMaxRoundedPlates) + " are made");
    return report;
  }
  // The widths as the corners before each plate have shortened them; b_r
  // itself stays as loaded until the whole section is known to fit.
  RealList remaining = b_r;
  RealList angles;
  RealList widths;
  angles.reserve(static_cast<std::size_t>(resultPlates));
  widths.reserve(static_cast<std::size_t>(resultPlates));
  for (int j = 1; j < nk; ++j) {
    const int k = j - 1;  // the plate that ends at node j; plate j starts there
    const int d = divisionNumbers[static_cast<std::size_t>(k)];
    const NodePlates& plates = platesAt[static_cast<std::size_t>(j)];
    if (!rounding || !isCorner(j, plates)) {
      appendStraightPart(remaining[k], alpha_r[k], d, widths, angles);
      continue;
    }
    const CornerArc arc = arcBetween(radius, elementsPerCorner, plates, remaining);
    if (!arc.fits) {
      report.misfitCorners.push_back(j + 1);
      continue;
    }
    appendStraightPart(remaining[k] - arc.tangentLength, alpha_r[k], d, widths, angles);
    const double increment = convex ? -arc.angleStep : arc.angleStep;
    double angle = (convex ? alpha_r[k] : alpha_r[j]) + increment / 2;
    for (int e = 0; e < arc.elementCount; ++e) {
      widths.push_back(arc.elementLength);
      angles.push_back(angle);
      angle += increment;
    }
    remaining[j] -=
        arc.tangentLength;  // the next plate's straight part starts at the tangent point
  }
  if (!report.misfitCorners.empty()) return report;
  alpha_r = std::move(angles);
  b_r = std::move(widths);
  rebuildFromPlates();
  return report;
}

void CrossSection::rebuildFromPlates() {
  ns = static_cast<int>(b_r.size());
  nk = ns + 1;
  nk1 = 2;
  nk2 = ns - 1;
  nk3 = 0;

  startNode.clear();
  endNode.clear();
  startNode.reserve(static_cast<std::size_t>(ns));
  endNode.reserve(static_cast<std::size_t>(ns));
  for (int k = 1; k <= ns; ++k) {
    startNode.push_back(k);
    endNode.push_back(k + 1);
  }

  nodePlateCount.assign(static_cast<std::size_t>(nk), 2);
  nodePlateCount.front() = 1;
  nodePlateCount.back() = 1;

  nodeY.clear();
  nodeZ.clear();
  nodeY.reserve(static_cast<std::size_t>(nk));
  nodeZ.reserve(static_cast<std::size_t>(nk));
  double y = 0.0;
  double z = 0.0;
  nodeY.push_back(y);
  nodeZ.push_back(z);
  for (int k = 0; k < ns; ++k) {
    y -= b_r[k] * portableCos(radians(alpha_r[k]));
    z -= b_r[k] * portableSin(radians(alpha_r[k]));
    nodeY.push_back(y);
    nodeZ.push_back(z);
  }

  edgeSupportNode = {1, nk};
  edgeSupportCode = {0, 0};
  edgeSupportValue = {0.0, 0.0};
}
