#include "make/catalogue.h"

#include <algorithm>
#include <cmath>

#include "archive/numbers.h"
#include "make/material.h"
#include "section/section_properties.h"
#include "rounding/corner_rounding.h"
#include "rounding/thickness.h"
#include "section/plate_geometry.h"

namespace {

std::string number(double value) { return formatReal(value); }

const std::vector<std::string>& dimensionNames(const std::string& shape) {
  static const std::vector<std::string> none;
  for (const auto& [name, dimensions] : sectionShapes()) {
    if (name == shape) return dimensions;
  }
  return none;
}

// A centre-line width, what it is, and the rule that keeps it above 0.
struct Width {
  double value;
  const char* what;
  std::string rule;
};

// Success when every width stays above 0; else names the first that does not.
Result allPositive(const std::vector<Width>& widths) {
  for (const Width& width : widths) {
    if (!(width.value > 0)) {
      return Result::failure(std::string("the ") + width.what + " vanishes on the centre line (" +
                             width.rule + ")");
    }
  }
  return Result::success();
}

std::string titleOf(const SectionRecipe& recipe) {
  static const std::pair<const char*, const char*> kTitles[] = {
      {"channel", "Channel"}, {"lipped-channel", "Lipped channel"},
      {"zed", "Zed"},         {"lipped-zed", "Lipped zed"},
      {"hat", "Hat"},         {"angle", "Angle"}};
  std::string title = "Chain of " + std::to_string(recipe.chainWidths.size()) + " plates";
  for (const auto& [shape, name] : kTitles) {
    if (recipe.shape != shape) continue;
    title = name;
    for (std::size_t i = 0; i < recipe.dimensions.size(); ++i) {
      title += (i == 0 ? " " : " x ") + number(recipe.dimensions[i]);
    }
  }
  return title;
}

// "lipped-channel D 200 B 75 L 20 t 2 (out-to-out)".
std::string recordOf(const SectionRecipe& recipe) {
  std::string record = recipe.shape;
  const std::vector<std::string>& names = dimensionNames(recipe.shape);
  for (std::size_t i = 0; i < names.size() && i < recipe.dimensions.size(); ++i) {
    record += " " + names[i] + " " + number(recipe.dimensions[i]);
  }
  if (recipe.shape == "chain") {
    for (std::size_t i = 0; i < recipe.chainWidths.size(); ++i) {
      record += " " + number(recipe.chainWidths[i]) + ":" + number(recipe.chainAngles[i]);
    }
    return record;
  }
  if (recipe.lipAngle != 90) record += " lip angle " + number(recipe.lipAngle);
  const bool centreLine = recipe.centreLine || recipe.lipAngle != 90;
  return record + (centreLine ? " (centre-line)" : " (out-to-out)");
}

struct Point {
  double y, z;
};

double distanceToSegment(Point p, Point a, Point b) {
  const double dy = b.y - a.y, dz = b.z - a.z;
  const double length2 = dy * dy + dz * dz;
  double share = length2 > 0 ? ((p.y - a.y) * dy + (p.z - a.z) * dz) / length2 : 0.0;
  share = std::clamp(share, 0.0, 1.0);
  return std::hypot(p.y - (a.y + share * dy), p.z - (a.z + share * dz));
}

// Whether segments ab and cd cross (their ends on both sides of each other).
bool segmentsCross(Point a, Point b, Point c, Point d) {
  auto side = [](Point p, Point q, Point r) {
    return (q.y - p.y) * (r.z - p.z) - (q.z - p.z) * (r.y - p.y);
  };
  const double d1 = side(c, d, a), d2 = side(c, d, b), d3 = side(a, b, c), d4 = side(a, b, d);
  return ((d1 > 0 && d2 < 0) || (d1 < 0 && d2 > 0)) && ((d3 > 0 && d4 < 0) || (d3 < 0 && d4 > 0));
}

}  // namespace

Result checkPlatesApart(const CrossSection& section) {
  std::vector<Point> start, end;
  for (int k = 0; k < section.ns; ++k) {
    start.push_back(
        {section.nodeY[section.startNode[k] - 1], section.nodeZ[section.startNode[k] - 1]});
    end.push_back({section.nodeY[section.endNode[k] - 1], section.nodeZ[section.endNode[k] - 1]});
  }
  const double tolerance = 1e-9 * sectionSize(section);
  for (int i = 0; i < section.ns; ++i) {
    for (int j = i + 1; j < section.ns; ++j) {
      const int shared[2][2] = {{section.startNode[i], section.endNode[i]},
                                {section.startNode[j], section.endNode[j]}};
      bool touch = false;
      for (int a = 0; a < 2; ++a) {
        const Point p = a == 0 ? start[i] : end[i];
        const bool sharedNode = shared[0][a] == shared[1][0] || shared[0][a] == shared[1][1];
        if (!sharedNode && distanceToSegment(p, start[j], end[j]) < tolerance) touch = true;
        const Point q = a == 0 ? start[j] : end[j];
        const bool sharedOther = shared[1][a] == shared[0][0] || shared[1][a] == shared[0][1];
        if (!sharedOther && distanceToSegment(q, start[i], end[i]) < tolerance) touch = true;
      }
      const bool adjacent = shared[0][0] == shared[1][0] || shared[0][0] == shared[1][1] ||
                            shared[0][1] == shared[1][0] || shared[0][1] == shared[1][1];
      if (!adjacent && segmentsCross(start[i], end[i], start[j], end[j])) touch = true;
      if (touch) {
        return Result::failure("plates " + std::to_string(i + 1) + " and " + std::to_string(j + 1) +
                               " cross or touch");
      }
    }
  }
  return Result::success();
}

const std::vector<std::pair<std::string, std::vector<std::string>>>& sectionShapes() {
  static const std::vector<std::pair<std::string, std::vector<std::string>>> shapes{
      {"channel", {"D", "B", "t"}},
      {"lipped-channel", {"D", "B", "L", "t"}},
      {"zed", {"D", "B", "t"}},
      {"lipped-zed", {"D", "B", "L", "t"}},
      {"hat", {"D", "B", "F", "t"}},
      {"angle", {"B1", "B2", "t"}},
      {"chain", {"t"}}};
  return shapes;
}

Result centreLinePlates(const SectionRecipe& recipe, std::vector<double>& widths,
                        std::vector<double>& angles) {
  const std::vector<double>& d = recipe.dimensions;
  if (dimensionNames(recipe.shape).size() != d.size()) return Result::failure("wrong dimensions");
  if (recipe.shape == "chain") {
    widths = recipe.chainWidths;
    angles.clear();
    for (double angle : recipe.chainAngles) angles.push_back(principalDegrees(angle));
    return Result::success();
  }
  const double t = d.back();
  // With inclined lips the dimensions are centre-line values: catalogues
  // measure such lips in too many ways.
  const bool outside = !recipe.centreLine && recipe.lipAngle == 90;
  const double folded = outside ? t : 0;       // lost by a dimension with two folded edges
  const double oneFold = outside ? t / 2 : 0;  // lost by one with one folded and one free edge
  const std::string aboveT = " must be above t = " + number(t);
  const std::string aboveHalfT = " must be above t/2 = " + number(t / 2);
  const std::string& s = recipe.shape;
  const double A = recipe.lipAngle;
  if (s == "channel" || s == "zed") {
    const double web = d[0] - folded, flange = d[1] - oneFold;
    const Result ok =
        allPositive({{web, "web", "D" + aboveT}, {flange, "flange", "B" + aboveHalfT}});
    if (!ok) return ok;
    widths = {flange, web, flange};
    angles = {0, -90, s == "channel" ? 180.0 : 0.0};
  } else if (s == "lipped-channel" || s == "lipped-zed") {
    const double web = d[0] - folded, flange = d[1] - folded, lip = d[2] - oneFold;
    const Result ok = allPositive({{web, "web", "D" + aboveT},
                                   {flange, "flange", "B" + aboveT},
                                   {lip, "lip", "L" + aboveHalfT}});
    if (!ok) return ok;
    widths = {lip, flange, web, flange, lip};
    // Each lip is its flange's outward direction turned by A into the section.
    angles = {principalDegrees(A), 0, -90, s == "lipped-channel" ? 180.0 : 0.0,
              principalDegrees(s == "lipped-channel" ? 180 - A : A)};
  } else if (s == "hat") {
    const double web = d[0] - folded, top = d[1] - folded, brim = d[2] - oneFold;
    const Result ok = allPositive(
        {{web, "web", "D" + aboveT}, {top, "top", "B" + aboveT}, {brim, "brim", "F" + aboveHalfT}});
    if (!ok) return ok;
    widths = {brim, web, top, web, brim};
    angles = {180, 90, 180, -90, 180};
  } else if (s == "angle") {
    const double vertical = d[0] - oneFold, horizontal = d[1] - oneFold;
    const Result ok = allPositive(
        {{vertical, "leg B1", "B1" + aboveHalfT}, {horizontal, "leg B2", "B2" + aboveHalfT}});
    if (!ok) return ok;
    widths = {vertical, horizontal};
    angles = {-90, 180};
  } else {
    return Result::failure("unknown shape " + s);
  }
  return Result::success();
}

Result makeSection(const SectionRecipe& recipe, CrossSection& section) {
  std::vector<double> widths;
  std::vector<double> angles;
  const Result plates = centreLinePlates(recipe, widths, angles);
  if (!plates) return plates;
  section = CrossSection();
  section.b_r.assign(widths.begin(), widths.end());
  section.alpha_r.assign(angles.begin(), angles.end());
  section.E = recipe.E.value_or(steelModulus(recipe.force, recipe.length));
  section.MUE = recipe.MUE.value_or(kSteelPoisson);
  section.G = recipe.G.value_or(shearModulus(section.E, section.MUE));
  section.Kraft = recipe.force;
  section.Laenge = recipe.length;
  rebuildFromPlates(section);
  const Result apart = checkPlatesApart(section);
  if (!apart) return apart;
  const double t = recipe.dimensions.back();
  Result made = setThickness(section, t);
  if (made && recipe.divide > 1) {
    made =
        roundCorners(section, 0, 0, true, std::vector<int>(widths.size(), recipe.divide)).accepted;
    if (made) made = setThickness(section, t);
  }
  if (!made) return made;
  section.title = recipe.title.empty() ? titleOf(recipe) : recipe.title;
  section.explanation.push_back(recordOf(recipe));
  return Result::success();
}
