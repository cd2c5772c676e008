#include "make/catalogue.h"

#include <algorithm>
#include <cmath>

#include "archive/numbers.h"
#include "rounding/corner_rounding.h"
#include "rounding/thickness.h"
#include "section/material.h"
#include "section/plate_geometry.h"
#include "section/section_check.h"
#include "section/section_properties.h"

namespace {

std::string number(double value) { return formatReal(value); }

// A centre-line width, what it is, and the rule that keeps it above 0.
struct Width {
  double value;
  std::string what;
  std::string rule;
};

// Success when every width stays above 0; else names the first that does not.
Result allPositive(const std::vector<Width>& widths) {
  for (const Width& width : widths) {
    if (!(width.value > 0)) {
      return Result::failure("the " + width.what + " vanishes on the centre line (" + width.rule +
                             ")");
    }
  }
  return Result::success();
}

std::string titleOf(const SectionRecipe& recipe) {
  const CatalogueShape* shape = findShape(recipe.shape);
  if (!shape || !shape->plates) {
    return "Chain of " + std::to_string(recipe.chainWidths.size()) + " plates";
  }
  std::string title = shape->title;
  for (std::size_t i = 0; i < recipe.dimensions.size(); ++i) {
    title += (i == 0 ? " " : " x ") + number(recipe.dimensions[i]);
  }
  return title;
}

// "lipped-channel D 200 B 75 L 20 t 2 (out-to-out)".
std::string recordOf(const SectionRecipe& recipe) {
  std::string record = recipe.shape;
  const CatalogueShape* shape = findShape(recipe.shape);
  const std::size_t named = shape ? shape->dimensions.size() : 0;
  for (std::size_t i = 0; i < named && i < recipe.dimensions.size(); ++i) {
    record += " " + shape->dimensions[i].name + " " + number(recipe.dimensions[i]);
  }
  if (shape && !shape->plates) {
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

namespace {

ShapePlates channelPlates(const std::vector<double>& c, double) {
  return {{c[1], c[0], c[1]}, {0, -90, 180}};
}

ShapePlates zedPlates(const std::vector<double>& c, double) {
  return {{c[1], c[0], c[1]}, {0, -90, 0}};
}

// Each lip is its flange's outward direction turned by the lip angle into
// the section.
ShapePlates lippedChannelPlates(const std::vector<double>& c, double lipAngle) {
  return {{c[2], c[1], c[0], c[1], c[2]},
          {principalDegrees(lipAngle), 0, -90, 180, principalDegrees(180 - lipAngle)}};
}

ShapePlates lippedZedPlates(const std::vector<double>& c, double lipAngle) {
  return {{c[2], c[1], c[0], c[1], c[2]},
          {principalDegrees(lipAngle), 0, -90, 0, principalDegrees(lipAngle)}};
}

ShapePlates hatPlates(const std::vector<double>& c, double) {
  return {{c[2], c[0], c[1], c[0], c[2]}, {180, 90, 180, -90, 180}};
}

ShapePlates anglePlates(const std::vector<double>& c, double) { return {{c[0], c[1]}, {-90, 180}}; }

const ShapeDimension kThickness{"t", "", 0};

// The usage text's column of the help lines.
const std::size_t kShapeHelpColumn = 26;

}  // namespace

const std::vector<CatalogueShape>& catalogueShapes() {
  static const std::vector<CatalogueShape> shapes{
      {"channel",
       "Channel",
       {{"D", "web", 2}, {"B", "flange", 1}, kThickness},
       false,
       "web D - t, flanges B - t/2",
       channelPlates},
      {"lipped-channel",
       "Lipped channel",
       {{"D", "web", 2}, {"B", "flange", 2}, {"L", "lip", 1}, kThickness},
       true,
       "web D - t, flanges B - t, lips L - t/2",
       lippedChannelPlates},
      {"zed",
       "Zed",
       {{"D", "web", 2}, {"B", "flange", 1}, kThickness},
       false,
       "web D - t, flanges B - t/2",
       zedPlates},
      {"lipped-zed",
       "Lipped zed",
       {{"D", "web", 2}, {"B", "flange", 2}, {"L", "lip", 1}, kThickness},
       true,
       "web D - t, flanges B - t, lips L - t/2",
       lippedZedPlates},
      {"hat",
       "Hat",
       {{"D", "web", 2}, {"B", "top", 2}, {"F", "brim", 1}, kThickness},
       false,
       "webs D - t, top B - t, brims F - t/2",
       hatPlates},
      {"angle",
       "Angle",
       {{"B1", "leg B1", 1}, {"B2", "leg B2", 1}, kThickness},
       false,
       "legs B - t/2; B1 is the vertical leg",
       anglePlates},
      {"chain", "", {kThickness}, false, "centre-line plates as they are", nullptr}};
  return shapes;
}

const CatalogueShape* findShape(const std::string& name) {
  for (const CatalogueShape& shape : catalogueShapes()) {
    if (shape.name == name) return &shape;
  }
  return nullptr;
}

std::string shapesText() {
  std::string text;
  for (const CatalogueShape& shape : catalogueShapes()) {
    std::string head = "  " + shape.name;
    for (const ShapeDimension& dimension : shape.dimensions) head += " " + dimension.name;
    if (!shape.plates) head += " WIDTH:ANGLE...";
    head.append(kShapeHelpColumn > head.size() + 2 ? kShapeHelpColumn - head.size() : 2, ' ');
    text += head + shape.help + "\n";
  }
  return text;
}

Result centreLinePlates(const SectionRecipe& recipe, std::vector<double>& widths,
                        std::vector<double>& angles) {
  const std::vector<double>& d = recipe.dimensions;
  const CatalogueShape* shape = findShape(recipe.shape);
  if (!shape) return Result::failure("unknown shape " + recipe.shape);
  if (shape->dimensions.size() != d.size()) return Result::failure("wrong dimensions");
  if (!shape->plates) {
    widths = recipe.chainWidths;
    angles.clear();
    for (double angle : recipe.chainAngles) angles.push_back(principalFileDegrees(angle));
    return Result::success();
  }
  const double t = d.back();
  // With inclined lips the dimensions are centre-line values: catalogues
  // measure such lips in too many ways.
  const bool outside = !recipe.centreLine && recipe.lipAngle == 90;
  std::vector<Width> centreLine;
  for (std::size_t i = 0; i + 1 < d.size(); ++i) {
    const ShapeDimension& dimension = shape->dimensions[i];
    const bool twoFolds = dimension.foldedEdges == 2;
    const double lost = !outside ? 0 : twoFolds ? t : dimension.foldedEdges == 1 ? t / 2 : 0;
    const std::string rule = dimension.name + (twoFolds ? " must be above t = " + number(t)
                                                        : " must be above t/2 = " + number(t / 2));
    centreLine.push_back({d[i] - lost, dimension.part, rule});
  }
  const Result ok = allPositive(centreLine);
  if (!ok) return ok;
  std::vector<double> values;
  for (const Width& width : centreLine) values.push_back(width.value);
  const ShapePlates plates = shape->plates(values, recipe.lipAngle);
  widths = plates.widths;
  angles = plates.angles;
  return Result::success();
}

namespace {

// The narrowest plate, when a file's six digits could not tell its nodes
// apart (a plate of the chain, or a piece of --divide).
Result checkPlatesHeldByAFile(const CrossSection& section) {
  const double narrowest = kFileResolution * sectionSize(section);
  for (int k = 0; k < section.ns; ++k) {
    if (section.b_r[k] < narrowest) {
      return Result::refused("plate " + std::to_string(k + 1) + " would be " +
                             number(section.b_r[k]) + " wide, narrower than the " +
                             number(narrowest) +
                             " that a file's six digits hold at this section's size");
    }
  }
  return Result::success();
}

}  // namespace

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
  const double t = recipe.dimensions.back();
  // The data check of every program first: coordinates too large for the
  // arithmetic make no section, whatever the plates' distances say.
  Result made = setThickness(section, t);
  if (made) made = checkSectionData(section);
  if (made) made = checkPlatesApart(section);
  if (made && recipe.divide > 1) {
    made =
        roundCorners(section, 0, 0, true, std::vector<int>(widths.size(), recipe.divide)).accepted;
    if (made) made = setThickness(section, t);
  }
  if (made) made = checkPlatesHeldByAFile(section);
  if (!made) return made;
  section.title = recipe.title.empty() ? titleOf(recipe) : recipe.title;
  section.explanation.push_back(recordOf(recipe));
  return Result::success();
}
