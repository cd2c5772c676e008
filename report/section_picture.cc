#include "report/section_picture.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

#include "archive/numbers.h"

namespace {

const double kWidth = 800;
const double kDrawingHeight = 480;  // the sections are drawn into this height
const double kMargin = 60;
const double kLegendHeight = 24;
const int kMostNumberedNodes = 60;
const double kLegendColumnWidth = 240;  // room for the colour mark and a file name
const double kThinnestStroke = 0.5;     // plates thinner than this to scale still show
const char* const kColours[] = {"#9a9a9a", "#d62728", "#1f77b4", "#2ca02c", "#9467bd", "#ff7f0e"};

std::string number(double value) { return formatReal(value); }

}  // namespace

const char* pictureColour(std::size_t index) {
  return kColours[std::min(index, std::size(kColours) - 1)];
}

namespace {

// Offset that puts the section's first node at the origin.
struct Shift {
  double y = 0.0;
  double z = 0.0;
};

Shift firstNodeShift(const CrossSection& section) {
  if (section.nodeY.empty() || section.nodeZ.empty()) return {};
  return {-section.nodeY[0], -section.nodeZ[0]};
}

struct Box {
  double minY = std::numeric_limits<double>::max();
  double minZ = std::numeric_limits<double>::max();
  double maxY = std::numeric_limits<double>::lowest();
  double maxZ = std::numeric_limits<double>::lowest();
  void add(double y, double z) {
    minY = std::min(minY, y);
    maxY = std::max(maxY, y);
    minZ = std::min(minZ, z);
    maxZ = std::max(maxZ, z);
  }
  bool empty() const { return minY > maxY; }
};

// The picture's height: the drawing, then one legend line per entry, then
// the scale bar.
double pictureHeight(std::size_t entries) {
  return kMargin + kDrawingHeight + kLegendHeight * static_cast<double>(entries) + kMargin;
}

// Maps section coordinates to the picture: y to the right, z downwards.
struct View {
  Box box;
  double scale = 1.0;
  double x(double y) const { return kMargin + (y - box.minY) * scale; }
  double y(double z) const { return kMargin + (z - box.minZ) * scale; }
};

View fitView(const std::vector<PictureEntry>& entries) {
  View view;
  for (const PictureEntry& entry : entries) {
    const Shift shift = firstNodeShift(*entry.section);
    for (int k = 0; k < entry.section->ns; ++k) {
      const PlateLine line = plateLine(*entry.section, k);
      view.box.add(line.y1 + shift.y, line.z1 + shift.z);
      view.box.add(line.y2 + shift.y, line.z2 + shift.z);
    }
  }
  if (view.box.empty()) view.box.add(0, 0);
  const double spanY = std::max(view.box.maxY - view.box.minY, 1e-12);
  const double spanZ = std::max(view.box.maxZ - view.box.minZ, 1e-12);
  view.scale = std::min((kWidth - 2 * kMargin) / spanY, kDrawingHeight / spanZ);
  // Spans that overflow to infinity give scale 0: everything at one point,
  // still inside the picture.
  if (!std::isfinite(view.scale)) view.scale = 0.0;
  return view;
}

// A round length (1, 2 or 5 times a power of ten) near a fifth of the width.
double scaleBarLength(const View& view) {
  const double target = (kWidth - 2 * kMargin) / 5 / view.scale;
  const double power = std::pow(10.0, std::floor(std::log10(target)));
  for (double step : {5.0, 2.0, 1.0}) {
    if (step * power <= target) return step * power;
  }
  return power;
}

void drawSection(const PictureEntry& entry, const char* colour, const View& view,
                 std::string& svg) {
  const CrossSection& section = *entry.section;
  const Shift shift = firstNodeShift(section);
  svg += "<g stroke=\"" + std::string(colour) + "\" fill=\"" + colour + "\">\n";
  for (int k = 0; k < section.ns; ++k) {
    const PlateLine line = plateLine(section, k);
    const double width = std::max(section.t_r[k] * view.scale, kThinnestStroke);
    svg += "<line x1=\"" + number(view.x(line.y1 + shift.y)) + "\" y1=\"" +
           number(view.y(line.z1 + shift.z)) + "\" x2=\"" + number(view.x(line.y2 + shift.y)) +
           "\" y2=\"" + number(view.y(line.z2 + shift.z)) + "\" stroke-width=\"" + number(width) +
           "\" stroke-opacity=\"0.8\"/>\n";
  }
  // Nodes where the plates put them: each plate's two ends, numbered by the
  // plate's start and end node, each node once.
  std::vector<bool> drawn(std::max(section.nodeY.size(), section.nodeZ.size()) + 1, false);
  auto drawNode = [&](int node, double nodeY, double nodeZ) {
    if (node < 1 || static_cast<std::size_t>(node) >= drawn.size() || drawn[node]) return;
    drawn[static_cast<std::size_t>(node)] = true;
    const double x = view.x(nodeY + shift.y);
    const double y = view.y(nodeZ + shift.z);
    svg += "<circle cx=\"" + number(x) + "\" cy=\"" + number(y) + "\" r=\"2\" stroke=\"none\"/>\n";
    if (drawn.size() - 1 <= static_cast<std::size_t>(kMostNumberedNodes)) {
      svg += "<text x=\"" + number(x + 4) + "\" y=\"" + number(y - 4) +
             "\" font-size=\"10\" stroke=\"none\">" + std::to_string(node) + "</text>\n";
    }
  };
  for (int k = 0; k < section.ns; ++k) {
    const PlateLine line = plateLine(section, k);
    drawNode(section.startNode[k], line.y1, line.z1);
    if (k < static_cast<int>(section.endNode.size()))
      drawNode(section.endNode[k], line.y2, line.z2);
  }
  const double cx = view.x(entry.properties.yc + shift.y);
  const double cy = view.y(entry.properties.zc + shift.z);
  svg += "<circle cx=\"" + number(cx) + "\" cy=\"" + number(cy) +
         "\" r=\"5\" fill=\"none\" stroke-width=\"1.5\"/>\n";
  svg += "<path d=\"M" + number(cx - 8) + " " + number(cy) + "H" + number(cx + 8) + "M" +
         number(cx) + " " + number(cy - 8) + "V" + number(cy + 8) + "\" stroke-width=\"1\"/>\n";
  svg += "</g>\n";
}

// True when text is well-formed UTF-8 (no overlong forms, no surrogates,
// nothing above U+10FFFF).
bool isValidUtf8(const std::string& text) {
  std::size_t i = 0;
  while (i < text.size()) {
    const unsigned char lead = static_cast<unsigned char>(text[i]);
    int follow = 0;
    unsigned long code = 0;
    if (lead < 0x80) {
      ++i;
      continue;
    } else if (lead >= 0xC2 && lead <= 0xDF) {
      follow = 1;
      code = lead & 0x1F;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
      follow = 2;
      code = lead & 0x0F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
      follow = 3;
      code = lead & 0x07;
    } else {
      return false;
    }
    if (i + static_cast<std::size_t>(follow) >= text.size()) return false;  // cut short
    for (int f = 1; f <= follow; ++f) {
      const unsigned char next = static_cast<unsigned char>(text[i + static_cast<std::size_t>(f)]);
      if ((next & 0xC0) != 0x80) return false;
      code = (code << 6) | (next & 0x3F);
    }
    const unsigned long lowest[] = {0, 0x80, 0x800, 0x10000};
    if (code < lowest[follow] || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) {
      return false;
    }
    i += static_cast<std::size_t>(follow) + 1;
  }
  return true;
}

}  // namespace

std::string xmlEscaped(const std::string& text) {
  const bool utf8 = isValidUtf8(text);
  std::string escaped;
  for (const char c : text) {
    const unsigned char byte = static_cast<unsigned char>(c);
    switch (c) {
      case '&':
        escaped += "&amp;";
        break;
      case '<':
        escaped += "&lt;";
        break;
      case '>':
        escaped += "&gt;";
        break;
      case '"':
        escaped += "&quot;";
        break;
      default:
        if (byte >= 0x80) {
          escaped += utf8 ? std::string(1, c) : "&#" + std::to_string(byte) + ";";
        } else if (byte < 0x20 && c != '\t') {
          escaped += '?';  // not allowed in XML 1.0
        } else {
          escaped += c;
        }
    }
  }
  return escaped;
}

std::string drawSections(const std::vector<PictureEntry>& entries) {
  const View view = fitView(entries);
  std::string svg = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";
  const double height = pictureHeight(entries.size());
  svg += "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" + number(kWidth) + "\" height=\"" +
         number(height) + "\" viewBox=\"0 0 " + number(kWidth) + " " + number(height) +
         "\" font-family=\"sans-serif\">\n";
  svg += "<rect width=\"100%\" height=\"100%\" fill=\"white\"/>\n";
  std::size_t colour = 0;
  for (const PictureEntry& entry : entries) {
    drawSection(entry, kColours[colour], view, svg);
    colour = std::min(colour + 1, std::size(kColours) - 1);
  }

  // Scale bar in the length unit of the first section.
  const double length = scaleBarLength(view);
  const double barY = height - kMargin / 2;
  const std::string unit = entries.empty() ? "" : xmlEscaped(entries.front().section->Laenge);
  svg += "<path d=\"M" + number(kMargin) + " " + number(barY) + "h" + number(length * view.scale) +
         "\" stroke=\"black\" stroke-width=\"2\"/>\n";
  svg += "<text x=\"" + number(kMargin) + "\" y=\"" + number(barY - 6) + "\" font-size=\"12\">" +
         number(length) + " " + unit + "</text>\n";

  // Legend: each file's name in its colour.
  colour = 0;
  double legendY = kMargin + kDrawingHeight + kLegendHeight;
  for (const PictureEntry& entry : entries) {
    const double x = kWidth - kMargin - kLegendColumnWidth;
    svg += "<rect x=\"" + number(x) + "\" y=\"" + number(legendY - 10) +
           "\" width=\"16\" height=\"8\" fill=\"" + kColours[colour] + "\"/>\n";
    svg += "<text x=\"" + number(x + 22) + "\" y=\"" + number(legendY - 2) +
           "\" font-size=\"12\">" + xmlEscaped(entry.name) + "</text>\n";
    legendY += kLegendHeight;
    colour = std::min(colour + 1, std::size(kColours) - 1);
  }
  svg += "</svg>\n";
  return svg;
}
