#include "buckle/curve_picture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <set>
#include <string>
#include <vector>

#include "report/section_picture.h"
#include "tests/unit/svg_reading.h"

namespace {

const double kNaN = std::numeric_limits<double>::quiet_NaN();

std::vector<double> logLengths(double first, double last, int count) {
  std::vector<double> lengths;
  for (int i = 0; i < count; ++i) {
    lengths.push_back(first * std::pow(last / first, static_cast<double>(i) / (count - 1)));
  }
  return lengths;
}

// Curves shaped like a lipped channel's: a local minimum of 0.1 at 150, a
// distortional one of 0.2 at 700, falling beyond as the member buckles as a
// whole.
double localCurve(double L) { return 0.05 * (std::pow(L / 150, 2) + std::pow(150 / L, 2)); }
double distortionalCurve(double L) { return 0.1 * (std::pow(L / 700, 2) + std::pow(700 / L, 2)); }
double globalCurve(double L) { return 2e5 / (L * L); }
double signature(double L) {
  return std::min({localCurve(L), distortionalCurve(L), globalCurve(L)});
}

// A series of files, each a little above the one before, each with its
// three marks and, when asked, its pure D and G curves.
CurvePicture series(std::size_t files, bool pure) {
  CurvePicture picture{"lc.kaf: compression, ends S-S",
                       "half-wavelength L [mm]",
                       "lambda = sigma_cr [kN/mm^2]",
                       logLengths(20, 20000, 60),
                       {}};
  for (std::size_t i = 0; i < files; ++i) {
    const double factor = 1 + 0.01 * static_cast<double>(i);
    CurveEntry entry;
    entry.name = i == 0 ? "lc.kaf" : "lc-rr" + std::to_string(i) + ".kaf";
    if (i > 0) entry.explanation = "Radius " + std::to_string(2 * i) + ", convex";
    PureCurve D{'D', {}}, G{'G', {}};
    for (double L : picture.lengths) {
      entry.lambdas.push_back(factor * signature(L));
      D.lambdas.push_back(factor * distortionalCurve(L));
      G.lambdas.push_back(factor * globalCurve(L));
    }
    entry.marks = {{150, 0.1 * factor, 'L'},
                   {700, 0.2 * factor, 'D'},
                   {20000, factor * signature(20000), 'G'}};
    if (pure) entry.pure = {D, G};
    picture.entries.push_back(entry);
  }
  return picture;
}

// The frame: the value axis (the longest upright line) and the length axis
// (the longest level one).
struct Frame {
  double left = 0, right = 0, top = 0, bottom = 0;
};

Frame frameOf(const std::vector<SvgElement>& elements) {
  Frame frame;
  double upright = 0, level = 0;
  for (const SvgElement& e : elements) {
    if (e.name != "line") continue;
    const double dx = std::fabs(e.number("x2") - e.number("x1"));
    const double dy = std::fabs(e.number("y2") - e.number("y1"));
    if (dx == 0 && dy > upright) {
      upright = dy;
      frame.top = std::min(e.number("y1"), e.number("y2"));
      frame.bottom = std::max(e.number("y1"), e.number("y2"));
    }
    if (dy == 0 && dx > level) {
      level = dx;
      frame.left = std::min(e.number("x1"), e.number("x2"));
      frame.right = std::max(e.number("x1"), e.number("x2"));
    }
  }
  return frame;
}

std::vector<const SvgElement*> named(const std::vector<SvgElement>& elements,
                                     const std::string& name) {
  std::vector<const SvgElement*> found;
  for (const SvgElement& e : elements) {
    if (e.name == name) found.push_back(&e);
  }
  return found;
}

void expectPoint(const PicturePoint& p, double x, double y) {
  EXPECT_NEAR(p.x, x, 2e-3);
  EXPECT_NEAR(p.y, y, 2e-3);
}

TEST(CurvePictureTest, EveryCoordinateInsideTheViewBoxAndNoTwoTextsOverlap) {
  std::vector<CurvePicture> pictures;
  for (std::size_t files : {1, 5, 12, 25}) pictures.push_back(series(files, files > 5));
  // Lengths over nine decades (more tick numbers than room), a long title
  // and a long explanation.
  CurvePicture wide = series(3, true);
  wide.lengths = logLengths(1, 1e9, 60);
  wide.title = std::string(150, 't') + ".kaf: -My, ends C-F";
  wide.entries[1].explanation = std::string(200, 'e');
  pictures.push_back(wide);
  for (const CurvePicture& picture : pictures) {
    SCOPED_TRACE(std::to_string(picture.entries.size()) + " files");
    const std::vector<SvgElement> elements = svgElements(drawCurves(picture));
    expectInsideViewBox(elements);
    expectTextsApart(elements);
  }
  // Of the nine decades' 28 ticks, the powers of ten keep their numbers.
  std::set<std::string> texts;
  for (const SvgElement& e : svgElements(drawCurves(wide))) texts.insert(e.content);
  for (const char* decade : {"1", "10", "100", "1000", "10000", "100000", "1e+06", "1e+09"}) {
    EXPECT_TRUE(texts.count(decade)) << decade;
  }
}

TEST(CurvePictureTest, EveryMarkOfACrowdedSeriesGetsItsLabelApartFromTheOthers) {
  CurvePicture picture = series(12, false);
  for (CurveEntry& entry : picture.entries) entry.marks = picture.entries[0].marks;
  const std::vector<SvgElement> elements = svgElements(drawCurves(picture));
  std::vector<std::string> labels;
  for (const SvgElement* text : named(elements, "text")) {
    if (text->has("fill")) labels.push_back(text->content);
  }
  EXPECT_EQ(labels.size(), 36u);
  EXPECT_EQ(std::count(labels.begin(), labels.end(), "L 0.1"), 12);
  EXPECT_EQ(std::count(labels.begin(), labels.end(), "D 0.2"), 12);
  expectTextsApart(elements);
  expectInsideViewBox(elements);
}

TEST(CurvePictureTest, NoTwoFilesAndNoTwoLegendEntriesLookAlike) {
  std::set<std::string> colours, styles;
  for (std::size_t i = 0; i < 10; ++i) colours.insert(pictureColour(i));
  EXPECT_EQ(colours.size(), 10u);
  for (std::size_t i = 0; i < 200; ++i) {
    const PictureStyle style = pictureStyle(i);
    styles.insert(std::string(style.colour) + " " + style.dash);
  }
  EXPECT_EQ(styles.size(), 200u);

  const CurvePicture picture = series(25, true);
  const std::vector<SvgElement> elements = svgElements(drawCurves(picture));
  const auto legend = legendEntries(elements);
  ASSERT_EQ(legend.size(), 26u);
  std::set<std::string> legendStrokes, legendTexts;
  for (const auto& [text, stroke] : legend) {
    legendStrokes.insert(stroke);
    legendTexts.insert(text);
  }
  EXPECT_EQ(legendStrokes.size(), 26u);
  EXPECT_EQ(legendTexts.size(), 26u);
  EXPECT_EQ(legend[0].first, "lc.kaf");
  EXPECT_EQ(legend[1].first, "lc-rr1.kaf: Radius 2, convex");
  EXPECT_EQ(legend[25].first, "dashed: the pure-mode curves (D, G), each in its file's colour");
  // The curves are drawn as their legend shows them; the pure curves unlike any file's curve.
  std::set<std::string> curveStrokes, pureStrokes;
  for (const SvgElement* polyline : named(elements, "polyline")) {
    (polyline->get("stroke-width") == "2" ? curveStrokes : pureStrokes).insert(strokeOf(*polyline));
  }
  std::set<std::string> fileStrokes;
  for (std::size_t i = 0; i < 25; ++i) fileStrokes.insert(legend[i].second);
  EXPECT_EQ(curveStrokes, fileStrokes);
  EXPECT_EQ(pureStrokes.size(), 25u);
  for (const std::string& stroke : pureStrokes) EXPECT_EQ(fileStrokes.count(stroke), 0u) << stroke;
}

TEST(CurvePictureTest, ACurveAboveTheClipLeavesThroughTheTopEdgeAndComesBack) {
  // The value axis reaches 3 times the largest mark: 0.6.
  const std::vector<double> values{5, 0.5, 0.2, 9, 0.3};
  CurvePicture picture{"c.kaf: compression, ends S-S",
                       "L",
                       "lambda",
                       {10, 100, 1000, 1e4, 1e5},
                       {{"c.kaf", "", values, {{1000, 0.2, 'D'}}, {}}}};
  const std::vector<SvgElement> elements = svgElements(drawCurves(picture));
  const Frame f = frameOf(elements);
  const double step = (f.right - f.left) / 4;
  auto y = [&](double value) { return f.bottom - value / 0.6 * (f.bottom - f.top); };
  const std::vector<const SvgElement*> polylines = named(elements, "polyline");
  ASSERT_EQ(polylines.size(), 2u);
  const std::vector<PicturePoint> first = polylinePoints(*polylines[0]);
  const std::vector<PicturePoint> second = polylinePoints(*polylines[1]);
  ASSERT_EQ(first.size(), 4u);
  ASSERT_EQ(second.size(), 2u);
  // Into the frame where 5 -> 0.5 falls through 0.6, out where 0.2 -> 9 rises through it.
  expectPoint(first[0], f.left + step * (5 - 0.6) / (5 - 0.5), f.top);
  expectPoint(first[1], f.left + step, y(0.5));
  expectPoint(first[2], f.left + 2 * step, y(0.2));
  expectPoint(first[3], f.left + step * (2 + (0.6 - 0.2) / (9 - 0.2)), f.top);
  expectPoint(second[0], f.left + step * (3 + (9 - 0.6) / (9 - 0.3)), f.top);
  expectPoint(second[1], f.right, y(0.3));
  const std::vector<const SvgElement*> circles = named(elements, "circle");
  ASSERT_EQ(circles.size(), 1u);
  EXPECT_NEAR(circles[0]->number("cx"), f.left + 2 * step, 2e-3);
  EXPECT_NEAR(circles[0]->number("cy"), y(0.2), 2e-3);
}

TEST(CurvePictureTest, ValuesThatAreNaNAreGaps) {
  const std::vector<double> lengths = logLengths(10, 1e6, 7);
  CurvePicture picture{"g.kaf: M1, ends S-S", "L", "lambda", lengths, {}};
  CurveEntry entry{"g.kaf", "", {0.3, 0.25, kNaN, 0.2, 0.25, kNaN, 0.3}, {}, {}};
  entry.marks = {{lengths[3], 0.2, 'L'}, {500, kNaN, 'D'}, {kNaN, 0.1, 'G'}};
  entry.pure = {{'L', std::vector<double>(7, kNaN)}};
  picture.entries.push_back(entry);
  const std::string svg = drawCurves(picture);
  const std::vector<SvgElement> elements = svgElements(svg);
  const Frame f = frameOf(elements);
  const double step = (f.right - f.left) / 6;
  const std::vector<const SvgElement*> polylines = named(elements, "polyline");
  ASSERT_EQ(polylines.size(), 2u);
  const std::vector<PicturePoint> before = polylinePoints(*polylines[0]);
  const std::vector<PicturePoint> after = polylinePoints(*polylines[1]);
  ASSERT_EQ(before.size(), 2u);
  ASSERT_EQ(after.size(), 2u);
  EXPECT_NEAR(before[0].x, f.left, 2e-3);
  EXPECT_NEAR(before[1].x, f.left + step, 2e-3);
  EXPECT_NEAR(after[0].x, f.left + 3 * step, 2e-3);
  EXPECT_NEAR(after[1].x, f.left + 4 * step, 2e-3);
  // The last value, alone between a gap and the end, is a dot; of the
  // marks only the one with a value shows.
  std::vector<double> dots, marks;
  for (const SvgElement* circle : named(elements, "circle")) {
    (circle->get("r") == "2" ? dots : marks).push_back(circle->number("cx"));
  }
  ASSERT_EQ(dots.size(), 1u);
  EXPECT_NEAR(dots[0], f.right, 2e-3);
  ASSERT_EQ(marks.size(), 1u);
  EXPECT_NEAR(marks[0], f.left + 3 * step, 2e-3);
  EXPECT_EQ(svg.find("nan"), std::string::npos);
  EXPECT_EQ(svg.find("inf"), std::string::npos);
}

TEST(CurvePictureTest, TheTitleAndEachMarksLetterAndValue) {
  CurvePicture picture = series(2, false);
  picture.title = "a&b.kaf: compression, ends S-S";
  picture.entries[1].marks.push_back({300, 0.15, 0});  // a mixed minimum
  const std::vector<SvgElement> elements = svgElements(drawCurves(picture));
  const Frame f = frameOf(elements);
  std::vector<std::string> texts;
  for (const SvgElement* text : named(elements, "text")) texts.push_back(text->content);
  EXPECT_EQ(texts.front(), "a&b.kaf: compression, ends S-S");
  for (const char* label : {"L 0.1", "D 0.2", "G 0.0005", "L 0.101", "D 0.202", "0.15"}) {
    EXPECT_EQ(std::count(texts.begin(), texts.end(), label), 1) << label;
  }
  // Each mark's dot where its length and value are.
  const double logSpan = std::log10(20000.0 / 20);
  std::vector<PicturePoint> dots;
  for (const SvgElement* circle : named(elements, "circle")) {
    dots.push_back({circle->number("cx"), circle->number("cy")});
  }
  ASSERT_EQ(dots.size(), 7u);
  expectPoint(dots[0], f.left + std::log10(150.0 / 20) / logSpan * (f.right - f.left),
              f.bottom - 0.1 / (3 * 0.202) * (f.bottom - f.top));
  expectPoint(dots[6], f.left + std::log10(300.0 / 20) / logSpan * (f.right - f.left),
              f.bottom - 0.15 / (3 * 0.202) * (f.bottom - f.top));
}

}  // namespace
