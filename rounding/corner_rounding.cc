// Corner rounding: every corner of an open plate chain becomes a circular arc
// of short straight plates, and the straight part of each plate may be split
// into equal pieces. Angles are in degrees; a plate's end node follows from its
// start node, b_r and alpha_r by plateEnd (section/plate_geometry.h).
#include "rounding/corner_rounding.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "archive/numbers.h"
#include "section/plate_geometry.h"
#include "section/trigonometry.h"

namespace {

const double kStraightTolerance = 0.01;  // degrees; a smaller turn is no corner
const double kTangentShare = 0.9;        // of a plate's width the tangent may take

std::string plateRunText(int plate, int from, int to) {
  return "plate " + std::to_string(plate) + " runs from node " + std::to_string(from) +
         " to node " + std::to_string(to);
}

// The plates that a rounding makes, built up plate by plate.
struct NewPlates {
  RealList widths;
  RealList angles;
  RealList thicknesses;
  void add(double width, double angle, double t) {
    widths.push_back(width);
    angles.push_back(angle);
    thicknesses.push_back(t);
  }
};

// Appends the straight part of a plate, split into d equal pieces that keep
// its thickness.
void appendStraightPart(double length, double angle, double t, int d, NewPlates& plates) {
  const double piece = d == 1 ? length : length / d;
  for (int i = 0; i < d; ++i) plates.add(piece, angle, t);
}

}  // namespace

double shortTurn(double incomingAngle, double outgoingAngle) {
  return principalDegrees(incomingAngle - outgoingAngle);
}

Result checkChain(const CrossSection& s) {
  if (s.ns < 1) return Result::failure("the section has no plates");
  if (s.nk != s.ns + 1) {
    return Result::failure("it has " + std::to_string(s.ns) + " plates and " +
                           std::to_string(s.nk) +
                           " nodes; an open chain has one node more than plates");
  }
  const std::size_t plates = static_cast<std::size_t>(s.ns);
  const std::size_t nodes = static_cast<std::size_t>(s.nk);
  if (s.startNode.size() != plates || s.endNode.size() != plates || s.b_r.size() != plates ||
      s.t_r.size() != plates || s.alpha_r.size() != plates || s.K_r.size() != plates) {
    return Result::failure("its plate lists do not hold ns = " + std::to_string(s.ns) + " entries");
  }
  if (s.nodeY.size() != nodes || s.nodeZ.size() != nodes || s.nodePlateCount.size() != nodes) {
    return Result::failure("its node lists do not hold nk = " + std::to_string(s.nk) + " entries");
  }
  for (int k = 0; k < s.ns; ++k) {
    if (s.startNode[k] != k + 1 || s.endNode[k] != k + 2) {
      return Result::failure(plateRunText(k + 1, s.startNode[k], s.endNode[k]) +
                             "; the chain must be numbered along its plates");
    }
  }
  for (int node = 0; node < s.nk; ++node) {
    const int expected = (node == 0 || node == s.nk - 1) ? 1 : 2;
    if (s.nodePlateCount[node] != expected) {
      return Result::failure("node " + std::to_string(node + 1) + " joins " +
                             std::to_string(s.nodePlateCount[node]) +
                             " plates; an open chain joins " + std::to_string(expected) + " there");
    }
  }
  return Result::success();
}

Result checkRoundableSection(const CrossSection& s) {
  if (s.Typ != kPlainSectionType) {
    return Result::refused("it is a section of type " + std::to_string(s.Typ) + "; only type " +
                           std::to_string(kPlainSectionType) + " sections are rounded");
  }
  return checkChain(s);
}

std::vector<NodePlates> platesAtEveryNode(const CrossSection& s) {
  std::vector<NodePlates> index(static_cast<std::size_t>(s.nk > 0 ? s.nk : 0));
  for (int k = 0; k < s.ns; ++k) {
    const unsigned start = static_cast<unsigned>(s.startNode[k] - 1);
    const unsigned end = static_cast<unsigned>(s.endNode[k] - 1);
    if (start < index.size()) index[start].outgoing = k;
    if (end < index.size()) index[end].incoming = k;
  }
  return index;
}

bool isCorner(const CrossSection& s, int node, const NodePlates& plates) {
  if (s.nodePlateCount[node] != 2) return false;
  return std::fabs(shortTurn(s.alpha_r[plates.incoming], s.alpha_r[plates.outgoing])) >
         kStraightTolerance;
}

namespace {

// The arc of a corner tested against the given (possibly shortened) widths.
CornerArc arcBetween(const CrossSection& s, double radius, int elementsPerCorner,
                     const NodePlates& plates, const RealList& widths) {
  const double turn = shortTurn(s.alpha_r[plates.incoming], s.alpha_r[plates.outgoing]);
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

// The plates that a rounding makes: every piece and every arc plate.
long long countRoundedPlates(const CrossSection& s, bool rounding, int elementsPerCorner,
                             const std::vector<NodePlates>& platesAt,
                             const std::vector<int>& divisionNumbers) {
  long long plates = 0;
  for (int d : divisionNumbers) plates += d;
  if (!rounding) return plates;
  for (int j = 1; j + 1 < s.nk; ++j) {
    if (isCorner(s, j, platesAt[static_cast<std::size_t>(j)])) plates += elementsPerCorner;
  }
  return plates;
}

}  // namespace

CornerArc computeCornerArc(const CrossSection& s, double radius, int elementsPerCorner,
                           const NodePlates& plates) {
  return arcBetween(s, radius, elementsPerCorner, plates, s.b_r);
}

namespace {

// Whether the section can be rounded with these division numbers at all.
Result checkRoundable(const CrossSection& s, const std::vector<int>& divisionNumbers) {
  const Result chain = checkRoundableSection(s);
  if (!chain) return chain;
  if (divisionNumbers.size() != static_cast<std::size_t>(s.ns)) {
    return Result::failure("there are " + std::to_string(divisionNumbers.size()) +
                           " division numbers for " + std::to_string(s.ns) + " plates");
  }
  return Result::success();
}

// Appends the arc plates of one corner between plate k and plate j = k + 1.
void appendArc(const CrossSection& s, const CornerArc& arc, int k, bool convex, NewPlates& made) {
  const int j = k + 1;
  const double increment = convex ? -arc.angleStep : arc.angleStep;
  double angle = (convex ? s.alpha_r[k] : s.alpha_r[j]) + increment / 2;
  // An arc plate is as thick as the thinner of the plates it joins.
  const double t = std::min(s.t_r[k], s.t_r[j]);
  for (int e = 0; e < arc.elementCount; ++e) {
    made.add(arc.elementLength, angle, t);
    angle += increment;
  }
}

// What a rounding makes of a section.
struct RoundingPlan {
  double radius;
  int elementsPerCorner;
  bool convex;
  bool rounding;          // false: only the subdivision applies
  double narrowestPlate;  // what a file's six digits hold
  std::vector<NodePlates> platesAt;
  std::vector<int> divisionNumbers;  // each 1 or more
};

// The plates of the rounded chain, plate by plate and corner by corner into
// made; the corners the radius does not fit into report.
void buildRoundedPlates(const CrossSection& s, const RoundingPlan& plan, NewPlates& made,
                        RoundingReport& report) {
  const double radius = plan.radius;
  const bool rounding = plan.rounding;
  const std::vector<NodePlates>& platesAt = plan.platesAt;
  const std::vector<int>& divisionNumbers = plan.divisionNumbers;
  // The widths as the corners before each plate have shortened them; b_r
  // itself stays as loaded until the whole section is known to fit.
  RealList remaining = s.b_r;
  for (int j = 1; j < s.nk; ++j) {
    const int k = j - 1;  // the plate that ends at node j; plate j starts there
    const int d = divisionNumbers[static_cast<std::size_t>(k)];
    const NodePlates& plates = platesAt[static_cast<std::size_t>(j)];
    if (!rounding || !isCorner(s, j, plates)) {
      appendStraightPart(remaining[k], s.alpha_r[k], s.t_r[k], d, made);
      continue;
    }
    const CornerArc arc = arcBetween(s, radius, plan.elementsPerCorner, plates, remaining);
    if (!arc.fits) {
      report.misfitCorners.push_back(j + 1);
      continue;
    }
    if (!(arc.elementLength >= plan.narrowestPlate) || !(arc.elementLength > 0)) {
      report.accepted =
          Result::refused("its arc plates would be " + formatReal(arc.elementLength) +
                          " wide, narrower than the " + formatReal(plan.narrowestPlate) +
                          " that a file's six digits hold at this section's size");
      return;
    }
    appendStraightPart(remaining[k] - arc.tangentLength, s.alpha_r[k], s.t_r[k], d, made);
    appendArc(s, arc, k, plan.convex, made);
    // The next plate's straight part starts at the tangent point.
    remaining[j] -= arc.tangentLength;
  }
}

// The section takes the plates made, each K_r from its thickness. An angle
// of more than kMostDegreesHeld (only from a file that holds one) would not
// keep its direction in a file's six digits: it is reduced into (-180, 180].
void takeRoundedPlates(CrossSection& s, NewPlates& made) {
  for (double& angle : made.angles) {
    if (std::fabs(angle) > kMostDegreesHeld) angle = principalDegrees(angle);
  }
  s.alpha_r = std::move(made.angles);
  s.b_r = std::move(made.widths);
  s.t_r = std::move(made.thicknesses);
  s.K_r.clear();
  s.K_r.reserve(s.t_r.size());
  for (double t : s.t_r) s.K_r.push_back(plateStiffness(t, s.E, s.MUE));
  rebuildFromPlates(s);
}

}  // namespace

namespace {

// The larger side of the bounding box of the chain as rebuilt from its plates.
double chainSize(const CrossSection& s) {
  PlanePoint node, low, high;
  for (int k = 0; k < s.ns; ++k) {
    node = plateEnd(node, s.b_r[k], s.alpha_r[k]);
    low = {std::min(low.y, node.y), std::min(low.z, node.z)};
    high = {std::max(high.y, node.y), std::max(high.z, node.z)};
  }
  return std::max(high.y - low.y, high.z - low.z);
}

}  // namespace

RoundingReport roundCorners(CrossSection& s, double radius, int elementsPerCorner, bool convex,
                            std::vector<int> divisionNumbers) {
  RoundingReport report;
  report.accepted = checkRoundable(s, divisionNumbers);
  if (!report.accepted) return report;
  // Without arc plates, or with radius 0, there is nothing to round: only
  // the subdivision applies. A division number below 1 counts as 1, so that
  // no plate disappears from the chain.
  RoundingPlan plan{radius,
                    elementsPerCorner,
                    convex,
                    elementsPerCorner >= 1 && radius != 0.0,
                    kFileResolution * chainSize(s),
                    platesAtEveryNode(s),
                    std::move(divisionNumbers)};
  for (int& d : plan.divisionNumbers) d = std::max(d, 1);
  const long long resultPlates =
      countRoundedPlates(s, plan.rounding, elementsPerCorner, plan.platesAt, plan.divisionNumbers);
  if (resultPlates > kMaxRoundedPlates) {
    report.accepted =
        Result::failure("the result would have " + std::to_string(resultPlates) +
                        " plates; at most " + std::to_string(kMaxRoundedPlates) + " are made");
    return report;
  }
  NewPlates made;
  made.angles.reserve(static_cast<std::size_t>(resultPlates));
  made.widths.reserve(static_cast<std::size_t>(resultPlates));
  made.thicknesses.reserve(static_cast<std::size_t>(resultPlates));
  buildRoundedPlates(s, plan, made, report);
  if (report.accepted && report.misfitCorners.empty()) takeRoundedPlates(s, made);
  return report;
}

void rebuildFromPlates(CrossSection& s) {
  s.ns = static_cast<int>(s.b_r.size());
  s.nk = s.ns + 1;
  s.nk1 = 2;
  s.nk2 = s.ns - 1;
  s.nk3 = 0;

  s.startNode.clear();
  s.endNode.clear();
  s.startNode.reserve(static_cast<std::size_t>(s.ns));
  s.endNode.reserve(static_cast<std::size_t>(s.ns));
  for (int k = 1; k <= s.ns; ++k) {
    s.startNode.push_back(k);
    s.endNode.push_back(k + 1);
  }

  s.nodePlateCount.assign(static_cast<std::size_t>(s.nk), 2);
  s.nodePlateCount.front() = 1;
  s.nodePlateCount.back() = 1;

  s.nodeY.clear();
  s.nodeZ.clear();
  s.nodeY.reserve(static_cast<std::size_t>(s.nk));
  s.nodeZ.reserve(static_cast<std::size_t>(s.nk));
  PlanePoint node;
  s.nodeY.push_back(node.y);
  s.nodeZ.push_back(node.z);
  for (int k = 0; k < s.ns; ++k) {
    node = plateEnd(node, s.b_r[k], s.alpha_r[k]);
    s.nodeY.push_back(node.y);
    s.nodeZ.push_back(node.z);
  }

  s.edgeSupportNode = {1, s.nk};
  s.edgeSupportCode = {0, 0};
  s.edgeSupportValue = {0.0, 0.0};
}

namespace {

// The largest radius by the closed form of the fit rule; 0 with the node
// (counted from 1) of a corner that turns by 180 degrees.
double largestFittingRadius(const CrossSection& s, int& foldedNode) {
  const std::vector<NodePlates> platesAt = platesAtEveryNode(s);
  double largest = HUGE_VAL;
  double previous = 0.0;  // tangent per radius of the corner that began the incoming plate
  for (int j = 1; j + 1 < s.nk; ++j) {
    const NodePlates& plates = platesAt[static_cast<std::size_t>(j)];
    if (!isCorner(s, j, plates)) {
      previous = 0.0;
      continue;
    }
    const double turn = shortTurn(s.alpha_r[plates.incoming], s.alpha_r[plates.outgoing]);
    if (std::fabs(turn) == 180.0) {
      foldedNode = j + 1;
      return 0.0;
    }
    const double perRadius = std::fabs(portableTan(radians(turn / 2)));
    // kTangentShare (b_in - R previous) >= R perRadius, and likewise for b_out.
    largest = std::min(
        largest, kTangentShare * s.b_r[plates.incoming] / (perRadius + kTangentShare * previous));
    largest = std::min(largest, kTangentShare * s.b_r[plates.outgoing] / perRadius);
    previous = perRadius;
  }
  return largest;
}

bool fitsEveryCorner(const CrossSection& section, double radius) {
  CrossSection copy = section;
  return roundCorners(copy, radius, kDefaultElementsPerCorner, true,
                      std::vector<int>(static_cast<std::size_t>(section.ns), 1))
      .misfitCorners.empty();
}

}  // namespace

std::string largestRadiusNote(const CrossSection& section) {
  int foldedNode = 0;
  double radius = largestFittingRadius(section, foldedNode);
  if (foldedNode > 0) {
    return "no radius fits the turn of 180\xC2\xB0 at node " + std::to_string(foldedNode);
  }
  // The six digits written must themselves fit: step down in the sixth
  // digit while they do not.
  std::string text = formatReal(radius);
  for (int step = 0; step < 4 && std::isfinite(radius) && radius > 0; ++step) {
    double written = radius;
    scanDouble(text, written);
    if (fitsEveryCorner(section, written)) break;
    const double unit = std::pow(10.0, std::floor(std::log10(written)) - 5);
    text = formatReal((std::round(written / unit) - 1) * unit);
  }
  return "the largest that fits is " + text;
}
