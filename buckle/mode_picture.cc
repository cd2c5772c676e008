// A strip's displaced centre line follows the shape functions of the finite
// strip method (Y. K. Cheung, Finite Strip Method in Structural Analysis,
// Pergamon, 1976), in the axes and signs of the strip model here: along the
// strip, from its first node to its second, u = c u_y + s u_z linear between
// its nodes; across it w = -s u_y + c u_z, the cubic Hermite of w and of
// theta = dw/ds at its two nodes; c and s the cosine and sine of its
// direction in the section's y, z.
#include "buckle/mode_picture.h"

#include <algorithm>
#include <cmath>

#include "archive/numbers.h"
#include "report/section_picture.h"
#include "report/svg_pieces.h"

namespace {

const double kCell = 180;  // each section with its deformation is drawn this large
const double kGap = 24;    // between the columns, and between the rows
const double kMargin = 20;
const double kTitleFont = 14, kRowFont = 12, kCaptionFont = 11, kLegendFont = 12;
const double kTitleBaseline = kMargin + kTitleFont;
const double kRowLabelRoom = kRowFont + 8;  // from a row's top to its cells
const double kCaptionStep = 15;
const double kCaptionsRoom = 16 + 2 * kCaptionStep;  // below a cell, for its captions
const double kRowHeight = kRowLabelRoom + kCell + kCaptionsRoom + kGap;
const double kLegendLine = 18;
const int kSegmentsPerStrip = 4;
const char* const kUndeformedColour = "#c8c8c8";
const double kUndeformedWidth = 1, kDeformedWidth = 1.5;
const char* const kNoShape = "no displacement to draw";

std::string number(double value) { return formatReal(value); }

struct Point {
  double y = 0.0, z = 0.0;
};

// The strips that can be drawn: both nodes there, finite, apart.
std::vector<ModeStrip> drawnStrips(const ModeShape& mode) {
  std::vector<ModeStrip> strips;
  const int count = static_cast<int>(mode.nodes.size());
  for (const ModeStrip& strip : mode.strips) {
    if (strip.first < 0 || strip.second < 0 || strip.first >= count || strip.second >= count) {
      continue;
    }
    const ModeNode& a = mode.nodes[static_cast<std::size_t>(strip.first)];
    const ModeNode& b = mode.nodes[static_cast<std::size_t>(strip.second)];
    const double width = std::hypot(b.y - a.y, b.z - a.z);
    if (std::isfinite(width) && width > 0) strips.push_back(strip);
  }
  return strips;
}

// The point of a strip's centre line at xi (0 at its first node, 1 at its
// second), and the mode's displacement there.
Point stripPoint(const ModeShape& mode, const ModeStrip& strip, double xi) {
  const ModeNode& a = mode.nodes[static_cast<std::size_t>(strip.first)];
  const ModeNode& b = mode.nodes[static_cast<std::size_t>(strip.second)];
  return {a.y + xi * (b.y - a.y), a.z + xi * (b.z - a.z)};
}

Point stripDisplacement(const ModeShape& mode, const ModeStrip& strip, double xi) {
  const ModeNode& a = mode.nodes[static_cast<std::size_t>(strip.first)];
  const ModeNode& b = mode.nodes[static_cast<std::size_t>(strip.second)];
  const double dy = b.y - a.y, dz = b.z - a.z, width = std::hypot(dy, dz);
  const double c = dy / width, s = dz / width;
  const double u = (1 - xi) * (c * a.uy + s * a.uz) + xi * (c * b.uy + s * b.uz);
  const double w1 = -s * a.uy + c * a.uz, w2 = -s * b.uy + c * b.uz;
  const double xi2 = xi * xi, xi3 = xi2 * xi;
  const double w = (1 - 3 * xi2 + 2 * xi3) * w1 + width * (xi - 2 * xi2 + xi3) * a.theta +
                   (3 * xi2 - 2 * xi3) * w2 + width * (xi3 - xi2) * b.theta;
  return {c * u - s * w, s * u + c * w};
}

double sampleXi(int k) { return static_cast<double>(k) / kSegmentsPerStrip; }

// A cell's lines in the section's coordinates: each strip undeformed, and
// its deformed centre line sampled (none when there is no displacement to
// draw).
struct CellLines {
  std::vector<std::vector<Point>> undeformed, deformed;
};

CellLines cellLines(const ModeShape& mode) {
  const std::vector<ModeStrip> strips = drawnStrips(mode);
  CellLines lines;
  double minY = HUGE_VAL, maxY = -HUGE_VAL, minZ = HUGE_VAL, maxZ = -HUGE_VAL;
  for (const ModeStrip& strip : strips) {
    lines.undeformed.push_back({stripPoint(mode, strip, 0), stripPoint(mode, strip, 1)});
    for (const Point& p : lines.undeformed.back()) {
      minY = std::min(minY, p.y), maxY = std::max(maxY, p.y);
      minZ = std::min(minZ, p.z), maxZ = std::max(maxZ, p.z);
    }
  }
  // The largest displacement along the sampled centre lines.
  double largest = 0;
  bool finite = true;
  for (const ModeStrip& strip : strips) {
    for (int k = 0; k <= kSegmentsPerStrip; ++k) {
      const Point d = stripDisplacement(mode, strip, sampleXi(k));
      const double length = std::hypot(d.y, d.z);
      finite = finite && std::isfinite(length);
      if (finite) largest = std::max(largest, length);
    }
  }
  const double size = std::max(maxY - minY, maxZ - minZ);
  if (!finite || !(largest > 0) || !(size > 0) || !std::isfinite(size)) return lines;
  const double factor = kModeDisplacementShare * size / largest;
  for (const ModeStrip& strip : strips) {
    lines.deformed.emplace_back();
    for (int k = 0; k <= kSegmentsPerStrip; ++k) {
      const Point p = stripPoint(mode, strip, sampleXi(k));
      const Point d = stripDisplacement(mode, strip, sampleXi(k));
      lines.deformed.back().push_back({p.y + factor * d.y, p.z + factor * d.z});
    }
  }
  return lines;
}

// Places a cell's lines in its square on the picture: one scale for both,
// their bounding box centred.
struct CellView {
  double left = 0, top = 0, minY = 0, minZ = 0, scale = 1, offsetX = 0, offsetY = 0;
  double x(double y) const { return left + offsetX + (y - minY) * scale; }
  double y(double z) const { return top + offsetY + (z - minZ) * scale; }
};

CellView fitCell(const CellLines& lines, double left, double top) {
  double minY = HUGE_VAL, maxY = -HUGE_VAL, minZ = HUGE_VAL, maxZ = -HUGE_VAL;
  for (const auto* group : {&lines.undeformed, &lines.deformed}) {
    for (const std::vector<Point>& line : *group) {
      for (const Point& p : line) {
        minY = std::min(minY, p.y), maxY = std::max(maxY, p.y);
        minZ = std::min(minZ, p.z), maxZ = std::max(maxZ, p.z);
      }
    }
  }
  CellView view;
  view.left = left, view.top = top;
  if (!(minY <= maxY)) return view;
  const double span = std::max(maxY - minY, maxZ - minZ);
  view.minY = minY, view.minZ = minZ;
  view.scale = span > 0 && std::isfinite(kCell / span) ? kCell / span : 0;
  view.offsetX = (kCell - (maxY - minY) * view.scale) / 2;
  view.offsetY = (kCell - (maxZ - minZ) * view.scale) / 2;
  return view;
}

std::string pathOf(const std::vector<std::vector<Point>>& lines, const CellView& view) {
  std::string d;
  for (const std::vector<Point>& line : lines) {
    for (std::size_t k = 0; k < line.size(); ++k) {
      d += (k == 0 ? "M" : "L") + number(view.x(line[k].y)) + " " + number(view.y(line[k].z));
    }
  }
  return d;
}

// The captions under a cell: the heading, the shares, and a line when the
// shape could not be drawn.
std::vector<std::string> captionsOf(const ModeShape& mode, bool drawn) {
  std::vector<std::string> captions{mode.heading};
  if (!mode.shares.empty()) captions.push_back(mode.shares);
  if (!drawn) captions.push_back(kNoShape);
  return captions;
}

std::string drawCell(const ModeShape& mode, const PictureStyle& style, double left, double width,
                     double top) {
  const CellLines lines = cellLines(mode);
  const CellView view = fitCell(lines, left + (width - kCell) / 2, top);
  std::string svg;
  if (!lines.undeformed.empty()) {
    svg += "<path d=\"" + pathOf(lines.undeformed, view) + "\" fill=\"none\" " +
           strokeAttributes(kUndeformedColour, kUndeformedWidth, "") + "/>\n";
  }
  if (!lines.deformed.empty()) {
    svg += "<path d=\"" + pathOf(lines.deformed, view) + "\" fill=\"none\" " +
           strokeAttributes(style.colour, kDeformedWidth, style.dash) + "/>\n";
  }
  const std::vector<std::string> captions = captionsOf(mode, !lines.deformed.empty());
  for (std::size_t k = 0; k < captions.size(); ++k) {
    svg += svgText(left + width / 2, top + kCell + 16 + kCaptionStep * static_cast<double>(k),
                   captions[k], kCaptionFont, "middle");
  }
  return svg;
}

// The width of each column: a cell, or its widest caption.
std::vector<double> columnWidths(const std::vector<ModeFile>& files) {
  std::vector<double> widths;
  for (const ModeFile& file : files) {
    if (widths.size() < file.modes.size()) widths.resize(file.modes.size(), kCell);
    for (std::size_t j = 0; j < file.modes.size(); ++j) {
      for (const std::string& caption : captionsOf(file.modes[j], false)) {
        widths[j] = std::max(widths[j], textWidth(caption, kCaptionFont));
      }
    }
  }
  return widths;
}

struct LegendLine {
  std::string sample;  // the stroke of its sample line
  std::string text;
};

std::vector<LegendLine> legendLines(const std::vector<ModeFile>& files) {
  std::vector<LegendLine> lines;
  for (std::size_t i = 0; i < files.size(); ++i) {
    const PictureStyle style = pictureStyle(i);
    lines.push_back(
        {strokeAttributes(style.colour, kDeformedWidth, style.dash),
         files[i].name + (files[i].explanation.empty() ? "" : ": " + files[i].explanation)});
  }
  lines.push_back({strokeAttributes(kUndeformedColour, kUndeformedWidth, ""), "undeformed"});
  return lines;
}

}  // namespace

std::string drawModes(const std::string& title, const std::vector<ModeFile>& files) {
  const std::vector<double> widths = columnWidths(files);
  std::vector<double> lefts;
  double right = kMargin;
  for (double width : widths) {
    lefts.push_back(lefts.empty() ? kMargin : right + kGap);
    right = lefts.back() + width;
  }
  const std::vector<LegendLine> legend = legendLines(files);
  double width = std::max(right, kMargin + textWidth(title, kTitleFont));
  for (const ModeFile& file : files) {
    width = std::max(width, kMargin + textWidth(file.name, kRowFont));
  }
  for (const LegendLine& line : legend) {
    width = std::max(width, kMargin + kLegendTextIndent + textWidth(line.text, kLegendFont));
  }
  width += kMargin;
  const double rowsTop = kTitleBaseline + kGap;
  const double legendTop = rowsTop + kRowHeight * static_cast<double>(files.size());
  const double height = legendTop + kLegendLine * static_cast<double>(legend.size()) + kMargin;

  std::string svg = svgOpening(width, height);
  svg += svgText(kMargin, kTitleBaseline, title, kTitleFont);
  for (std::size_t i = 0; i < files.size(); ++i) {
    const double top = rowsTop + kRowHeight * static_cast<double>(i);
    svg += svgText(kMargin, top + kRowFont, files[i].name, kRowFont);
    for (std::size_t j = 0; j < files[i].modes.size(); ++j) {
      svg += drawCell(files[i].modes[j], pictureStyle(i), lefts[j], widths[j], top + kRowLabelRoom);
    }
  }
  for (std::size_t i = 0; i < legend.size(); ++i) {
    const double y = legendTop + kLegendLine * static_cast<double>(i) + kLegendFont;
    svg += legendEntry(kMargin, y, legend[i].sample, legend[i].text, kLegendFont);
  }
  svg += "</svg>\n";
  return svg;
}
