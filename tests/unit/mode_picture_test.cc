#include "buckle/mode_picture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <set>
#include <string>
#include <vector>

#include "tests/unit/svg_reading.h"

namespace {

// A lipped channel's centre line: lip, flange, web in four strips, flange,
// lip; scaled by size.
ModeShape lippedChannel(double size = 1) {
  ModeShape mode;
  const double corners[][2] = {{60, -20}, {60, 0},  {0, 0},    {0, 25}, {0, 50},
                               {0, 75},   {0, 100}, {60, 100}, {60, 80}};
  for (const auto& c : corners) mode.nodes.push_back({size * c[0], size * c[1], 0, 0, 0});
  for (int k = 0; k + 1 < static_cast<int>(mode.nodes.size()); ++k)
    mode.strips.push_back({k, k + 1});
  return mode;
}

// The section turned as a rigid body by the small angle phi about (y0, z0),
// normalised so that its largest displacement is 1.
ModeShape rigidRotation(ModeShape mode, double phi, double y0, double z0) {
  double largest = 0;
  for (ModeNode& n : mode.nodes) {
    n.uy = -phi * (n.z - z0);
    n.uz = phi * (n.y - y0);
    n.theta = phi;
    largest = std::max(largest, std::hypot(n.uy, n.uz));
  }
  for (ModeNode& n : mode.nodes) n.uy /= largest, n.uz /= largest, n.theta /= largest;
  return mode;
}

// The paths of a picture: the undeformed ones (grey, width 1) and the
// deformed ones, each as its subpaths, in the order of the cells.
struct CellPaths {
  std::vector<std::vector<std::vector<PicturePoint>>> undeformed, deformed;
};

CellPaths cellPaths(const std::vector<SvgElement>& elements) {
  CellPaths paths;
  for (const SvgElement& e : elements) {
    if (e.name != "path") continue;
    (e.get("stroke") == "#c8c8c8" ? paths.undeformed : paths.deformed)
        .push_back(pathPoints(e.get("d")));
  }
  return paths;
}

PicturePoint between(const PicturePoint& a, const PicturePoint& b, double xi) {
  return {a.x + xi * (b.x - a.x), a.y + xi * (b.y - a.y)};
}

// The deformed points of one cell, each with the point of the undeformed
// strip at the same place along it.
struct Displacement {
  PicturePoint at, moved;
  double dx() const { return moved.x - at.x; }
  double dy() const { return moved.y - at.y; }
};

std::vector<Displacement> displacements(const std::vector<std::vector<PicturePoint>>& undeformed,
                                        const std::vector<std::vector<PicturePoint>>& deformed) {
  EXPECT_EQ(undeformed.size(), deformed.size());
  std::vector<Displacement> all;
  for (std::size_t k = 0; k < std::min(undeformed.size(), deformed.size()); ++k) {
    EXPECT_EQ(undeformed[k].size(), 2u);
    const std::size_t samples = deformed[k].size();
    EXPECT_GE(samples, 3u);
    for (std::size_t j = 0; j < samples; ++j) {
      const double xi = static_cast<double>(j) / static_cast<double>(samples - 1);
      all.push_back({between(undeformed[k][0], undeformed[k][1], xi), deformed[k][j]});
    }
  }
  return all;
}

double largestDisplacement(const std::vector<Displacement>& all) {
  double largest = 0;
  for (const Displacement& d : all) largest = std::max(largest, std::hypot(d.dx(), d.dy()));
  return largest;
}

// The larger side of the undeformed section's bounding box in the picture.
double sectionSize(const std::vector<std::vector<PicturePoint>>& undeformed) {
  double left = HUGE_VAL, right = -HUGE_VAL, top = HUGE_VAL, bottom = -HUGE_VAL;
  for (const auto& line : undeformed) {
    for (const PicturePoint& p : line) {
      left = std::min(left, p.x), right = std::max(right, p.x);
      top = std::min(top, p.y), bottom = std::max(bottom, p.y);
    }
  }
  return std::max(right - left, bottom - top);
}

TEST(ModePictureTest, ARigidRotationMovesEveryPointAsTheSectionTurns) {
  // Turned about a point beside the web, as a channel turns about its shear centre.
  const double y0 = -25, z0 = 50, phi = 0.01;
  const ModeShape mode = rigidRotation(lippedChannel(), phi, y0, z0);
  const std::vector<SvgElement> elements = svgElements(drawModes("t", {{"c.kaf", "", {mode}}}));
  const CellPaths paths = cellPaths(elements);
  ASSERT_EQ(paths.undeformed.size(), 1u);
  ASSERT_EQ(paths.deformed.size(), 1u);
  const auto& undeformed = paths.undeformed[0];
  ASSERT_EQ(undeformed.size(), mode.strips.size());
  // The section's y to the right and z downwards, to one scale: the map
  // from the web's two ends, checked on every node.
  const double scale = (undeformed[5][1].y - undeformed[2][0].y) / 100;
  const double left = undeformed[2][0].x, top = undeformed[2][0].y;
  for (std::size_t k = 0; k < mode.strips.size(); ++k) {
    for (int end = 0; end < 2; ++end) {
      const ModeNode& n = mode.nodes[static_cast<std::size_t>(end ? k + 1 : k)];
      EXPECT_NEAR(undeformed[k][static_cast<std::size_t>(end)].x, left + scale * n.y, 2e-3);
      EXPECT_NEAR(undeformed[k][static_cast<std::size_t>(end)].y, top + scale * n.z, 2e-3);
    }
  }
  // Every sampled point moves at right angles to its arm from the centre,
  // by one angle: the strips stay straight, in and out of their plane.
  const PicturePoint centre{left + scale * y0, top + scale * z0};
  const std::vector<Displacement> all = displacements(undeformed, paths.deformed[0]);
  const Displacement& tip = all.front();  // the lip's tip, farthest from the centre
  const double angle = (tip.dy() * (tip.at.x - centre.x) - tip.dx() * (tip.at.y - centre.y)) /
                       (std::pow(tip.at.x - centre.x, 2) + std::pow(tip.at.y - centre.y, 2));
  EXPECT_GT(angle, 0);  // turned the way the mode turns (from y towards z)
  for (const Displacement& d : all) {
    EXPECT_NEAR(d.dx(), -angle * (d.at.y - centre.y), 5e-3);
    EXPECT_NEAR(d.dy(), angle * (d.at.x - centre.x), 5e-3);
  }
  EXPECT_NEAR(largestDisplacement(all) / sectionSize(undeformed), kModeDisplacementShare, 1e-4);
}

TEST(ModePictureTest, AStripBendsAsItsCubicAndStretchesLinearly) {
  // One strip along y, 100 long: at its first node 20 along it and the
  // rotation 1, at its second the rotation -1. Along the strip u = 20 (1 - xi);
  // across it w = 100 (xi - xi^2), largest at the middle.
  ModeShape mode;
  mode.nodes = {{0, 0, 20, 0, 1}, {100, 0, 0, 0, -1}};
  mode.strips = {{0, 1}};
  const std::vector<SvgElement> elements = svgElements(drawModes("t", {{"p.kaf", "", {mode}}}));
  const CellPaths paths = cellPaths(elements);
  ASSERT_EQ(paths.deformed.size(), 1u);
  const std::vector<Displacement> all = displacements(paths.undeformed[0], paths.deformed[0]);
  ASSERT_EQ(all.size() % 2, 1u);
  const Displacement& middle = all[all.size() / 2];
  const double factor = middle.dy() / 25;  // picture units per displacement
  EXPECT_GT(factor, 0);                    // w towards +z, drawn downwards
  for (std::size_t j = 0; j < all.size(); ++j) {
    const double xi = static_cast<double>(j) / static_cast<double>(all.size() - 1);
    EXPECT_NEAR(all[j].dx(), factor * 20 * (1 - xi), 5e-3) << xi;
    EXPECT_NEAR(all[j].dy(), factor * 100 * (xi - xi * xi), 5e-3) << xi;
  }
  EXPECT_NEAR(largestDisplacement(all), std::hypot(middle.dx(), middle.dy()), 1e-9);
  EXPECT_NEAR(largestDisplacement(all) / sectionSize(paths.undeformed[0]), kModeDisplacementShare,
              1e-4);
}

TEST(ModePictureTest, AModeWithNoDisplacementToDrawIsSaid) {
  ModeShape still = lippedChannel();
  still.heading = "local, 155.2 mm, lambda 0.105842";
  ModeShape broken = rigidRotation(lippedChannel(), 0.01, 0, 0);
  broken.nodes[3].uz = std::numeric_limits<double>::quiet_NaN();
  broken.heading = "distortional, 702.6 mm, lambda 0.207096";
  const std::string svg = drawModes("t", {{"c.kaf", "", {still, broken}}});
  const std::vector<SvgElement> elements = svgElements(svg);
  const CellPaths paths = cellPaths(elements);
  EXPECT_EQ(paths.undeformed.size(), 2u);
  EXPECT_EQ(paths.deformed.size(), 0u);
  int said = 0;
  for (const SvgElement& e : elements) said += e.content == "no displacement to draw";
  EXPECT_EQ(said, 2);
  EXPECT_EQ(svg.find("nan"), std::string::npos);
  expectInsideViewBox(elements);
}

// Eleven files (the eleventh takes the first colour again, dashed), of
// sections of very different sizes, each with up to three modes.
std::vector<ModeFile> grid() {
  std::vector<ModeFile> files;
  for (int i = 0; i < 11; ++i) {
    ModeFile file{"lipped_channel-rr" + std::to_string(i) + ".kaf",
                  i ? "Radius " + std::to_string(i) + ", convex, 4 elements per corner" : "",
                  {}};
    const double size = i % 2 ? 0.01 : 50;
    for (int m = 0; m < 1 + i % 3; ++m) {
      ModeShape mode = rigidRotation(lippedChannel(size), 0.02, size * (m - 20), 0);
      mode.nodes[1].theta *= 3;  // a flange that bends too
      mode.heading = std::string(m == 0   ? "local"
                                 : m == 1 ? "distortional"
                                          : "global") +
                     ", " + std::to_string(150 * (m + 1)) + " mm, lambda 0.10" + std::to_string(i);
      mode.shares = "G 0.1 %, D 3.2 %, L 96.4 %, O 0.3 %";
      file.modes.push_back(mode);
    }
    files.push_back(file);
  }
  return files;
}

TEST(ModePictureTest, TheGridKeepsEveryCellItsTextsAndItsLegendApart) {
  const std::vector<ModeFile> files = grid();
  const std::vector<SvgElement> elements =
      svgElements(drawModes("lipped_channel.kaf & its series: compression", files));
  expectInsideViewBox(elements);
  expectTextsApart(elements);
  EXPECT_EQ(elements[2].content, "lipped_channel.kaf & its series: compression");

  // Each cell as large as the others whatever its section's size, and
  // overlapping no other cell and no text.
  std::vector<PictureBox> cells;
  for (const SvgElement& e : elements) {
    if (e.name != "path") continue;
    PictureBox box{HUGE_VAL, HUGE_VAL, -HUGE_VAL, -HUGE_VAL};
    for (const auto& line : pathPoints(e.get("d"))) {
      for (const PicturePoint& p : line) {
        box = {std::min(box.left, p.x), std::min(box.top, p.y), std::max(box.right, p.x),
               std::max(box.bottom, p.y)};
      }
    }
    if (e.get("stroke") == "#c8c8c8") {
      cells.push_back(box);
    } else {  // a cell's deformed drawing spans it, with its undeformed one
      PictureBox& cell = cells.back();
      cell = {std::min(cell.left, box.left), std::min(cell.top, box.top),
              std::max(cell.right, box.right), std::max(cell.bottom, box.bottom)};
    }
  }
  ASSERT_EQ(cells.size(), 21u);  // 1, 2, 3, 1, 2, ... modes
  for (std::size_t i = 0; i < cells.size(); ++i) {
    const double span = std::max(cells[i].right - cells[i].left, cells[i].bottom - cells[i].top);
    EXPECT_NEAR(span, std::max(cells[0].right - cells[0].left, cells[0].bottom - cells[0].top),
                1e-2);
    for (std::size_t j = i + 1; j < cells.size(); ++j) EXPECT_FALSE(cells[i].overlaps(cells[j]));
    for (const SvgElement& e : elements) {
      if (e.name == "text") {
        EXPECT_FALSE(cells[i].overlaps(textBoxOf(e))) << e.content;
      }
    }
  }

  const auto legend = legendEntries(elements);
  ASSERT_EQ(legend.size(), 12u);
  std::set<std::string> strokes, texts;
  for (const auto& [text, stroke] : legend) strokes.insert(stroke), texts.insert(text);
  EXPECT_EQ(strokes.size(), 12u);
  EXPECT_EQ(texts.size(), 12u);
  EXPECT_EQ(legend[1].first, "lipped_channel-rr1.kaf: Radius 1, convex, 4 elements per corner");
  EXPECT_EQ(legend[11].first, "undeformed");
  // Each file's deformed shapes are drawn as its legend entry shows.
  std::vector<std::string> expected, drawn;
  for (std::size_t i = 0; i < files.size(); ++i) {
    expected.insert(expected.end(), files[i].modes.size(), legend[i].second);
  }
  for (const SvgElement& e : elements) {
    if (e.name == "path" && e.get("stroke") != "#c8c8c8") drawn.push_back(strokeOf(e));
  }
  EXPECT_EQ(drawn, expected);
}

}  // namespace
