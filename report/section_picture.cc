#include "report/section_picture.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "archive/numbers.h"

namespace {

const double kWidth = 800;
const double kHeight = 600;
const double kMargin = 60;
const double kLegendHeight = 24;
const int kMostNumberedNodes = 60;
const double kLegendColumnWidth = 240;  // room for the colour mark and a file name
const double kThinnestStroke = 0.5;     // plates thinner than this to scale still show
const char* const kColours[] = {"#9a9a9a", "#d62728", "#1f77b4", "#2ca02c", "#9467bd", "#ff7f0e"};

std::string number(double value) { return formatReal(value); }

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
  view.scale = std::min((kWidth - 2 * kMargin) / spanY,
                        (kHeight - 2 * kMargin - kLegendHeight * entries.size()) / spanZ);
  if (!std::isfinite(view.scale) || view.scale <= 0) view.scale = 1.0;
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
  const int nodes = static_cast<int>(std::min(section.nodeY.size(), section.nodeZ.size()));
  for (int i = 0; i < nodes; ++i) {
    const double x = view.x(section.nodeY[i] + shift.y);
    const double y = view.y(section.nodeZ[i] + shift.z);
    svg += "<circle cx=\"" + number(x) + "\" cy=\"" + number(y) + "\" r=\"2\" stroke=\"none\"/>\n";
    if (nodes <= kMostNumberedNodes) {
      svg += "<text x=\"" + number(x + 4) + "\" y=\"" + number(y - 4) +
             "\" font-size=\"10\" stroke=\"none\">" + std::to_string(i + 1) + "</text>\n";
    }
  }
  const double cx = view.x(entry.properties.yc + shift.y);
  const double cy = view.y(entry.properties.zc + shift.z);
  svg += "<circle cx=\"" + number(cx) + "\" cy=\"" + number(cy) +
         "\" r=\"5\" fill=\"none\" stroke-width=\"1.5\"/>\n";
  svg += "<path d=\"M" + number(cx - 8) + " " + number(cy) + "H" + number(cx + 8) + "M" +
         number(cx) + " " + number(cy - 8) + "V" + number(cy + 8) + "\" stroke-width=\"1\"/>\n";
  svg += "</g>\n";
}

}  // namespace

std::string xmlEscaped(const std::string& text) {
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
          escaped += "&#" + std::to_string(byte) + ";";
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
  svg += "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" + number(kWidth) + "\" height=\"" +
         number(kHeight) + "\" viewBox=\"0 0 " + number(kWidth) + " " + number(kHeight) +
         "\" font-family=\"sans-serif\">\n";
  svg += "<rect width=\"100%\" height=\"100%\" fill=\"white\"/>\n";
  std::size_t colour = 0;
  for (const PictureEntry& entry : entries) {
    drawSection(entry, kColours[colour], view, svg);
    colour = std::min(colour + 1, std::size(kColours) - 1);
  }

  // Scale bar in the length unit of the first section.
  const double length = scaleBarLength(view);
  const double barY = kHeight - kMargin / 2;
  const std::string unit = entries.empty() ? "" : xmlEscaped(entries.front().section->Laenge);
  svg += "<path d=\"M" + number(kMargin) + " " + number(barY) + "h" + number(length * view.scale) +
         "\" stroke=\"black\" stroke-width=\"2\"/>\n";
  svg += "<text x=\"" + number(kMargin) + "\" y=\"" + number(barY - 6) + "\" font-size=\"12\">" +
         number(length) + " " + unit + "</text>\n";

  // Legend: each file's name in its colour.
  colour = 0;
  double legendY = kHeight - kMargin / 2 - kLegendHeight * static_cast<double>(entries.size());
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
