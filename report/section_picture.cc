#include "report/section_picture.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

#include "archive/numbers.h"
#include "report/svg_pieces.h"

namespace {

const double kDrawingSize = 480;  // the larger span of the sections is drawn this large
const double kMargin = 40;
const double kLabelRoom = 40;  // beside the drawing, for the node numbers at its edge
const double kLegendLine = 20;
const double kLegendFont = 12;
const double kNodeFont = 10;
const double kMarkColumn = 22;  // the colour mark before a legend text
const double kMarkReach = 8;    // a centroid mark's arms
const int kMostNumberedNodes = 60;
const double kThinnestStroke = 0.5;  // plates thinner than this to scale still show
// The first file's grey, then the colours that the files after it take in turn.
const char* const kFirstColour = "#9a9a9a";
const char* const kColours[] = {"#d62728", "#1f77b4", "#2ca02c", "#9467bd", "#ff7f0e",
                                "#8c564b", "#e377c2", "#17becf", "#bcbd22"};

std::string number(double value) { return formatReal(value); }

}  // namespace

PictureStyle pictureStyle(std::size_t index) {
  if (index == 0) return {kFirstColour, ""};
  const std::size_t round = (index - 1) / std::size(kColours);
  std::string dash;
  if (round == 1) {
    dash = "10 4";
  } else if (round == 2) {
    dash = "2 3";
  } else if (round > 2) {
    // Dash-dot, then a dash and two dots, three dots, ...
    dash = "10 3";
    for (std::size_t dot = 2; dot < round; ++dot) dash += " 2 3";
  }
  return {kColours[(index - 1) % std::size(kColours)], dash};
}

const char* pictureColour(std::size_t index) { return pictureStyle(index).colour; }

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

// Maps section coordinates to the picture: y to the right, z downwards.
struct View {
  Box box;
  double scale = 1.0;
  // The marks reach 8 beyond their point.
  double x(double y) const { return kMargin + kMarkReach + (y - box.minY) * scale; }
  double y(double z) const { return kMargin + kLabelRoom / 2 + (z - box.minZ) * scale; }
  double width() const { return (box.maxY - box.minY) * scale; }
  double height() const { return (box.maxZ - box.minZ) * scale; }
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
    // The marks lie inside the picture too (a channel's shear centre lies
    // outside its web).
    const SectionProperties& p = entry.properties;
    if (std::isfinite(p.yc) && std::isfinite(p.zc)) view.box.add(p.yc + shift.y, p.zc + shift.z);
    if (p.torsionAndWarping && std::isfinite(p.ys) && std::isfinite(p.zs)) {
      view.box.add(p.ys + shift.y, p.zs + shift.z);
    }
  }
  if (view.box.empty()) view.box.add(0, 0);
  const double span =
      std::max({view.box.maxY - view.box.minY, view.box.maxZ - view.box.minZ, 1e-12});
  view.scale = kDrawingSize / span;
  // Spans that overflow to infinity give scale 0: everything at one point,
  // still inside the picture.
  if (!std::isfinite(view.scale) || !std::isfinite(view.width()) || !std::isfinite(view.height())) {
    view.scale = 0.0;
  }
  return view;
}

// A round length (1, 2 or 5 times a power of ten) near a fifth of the drawing.
double scaleBarLength(const View& view) {
  const double target = kDrawingSize / 5 / view.scale;
  const double power = std::pow(10.0, std::floor(std::log10(target)));
  for (double step : {5.0, 2.0, 1.0}) {
    if (step * power <= target) return step * power;
  }
  return power;
}

std::string centroidMark(double x, double y) {
  return "<circle cx=\"" + number(x) + "\" cy=\"" + number(y) +
         "\" r=\"5\" fill=\"none\" stroke-width=\"1.5\"/>\n<path d=\"M" + number(x - 8) + " " +
         number(y) + "H" + number(x + 8) + "M" + number(x) + " " + number(y - 8) + "V" +
         number(y + 8) + "\" stroke-width=\"1\"/>\n";
}

std::string shearCentreMark(double x, double y) {
  return "<path d=\"M" + number(x) + " " + number(y - 6) + "L" + number(x + 6) + " " + number(y) +
         "L" + number(x) + " " + number(y + 6) + "L" + number(x - 6) + " " + number(y) +
         "Z\" fill=\"none\" stroke-width=\"1.5\"/>\n";
}

void drawSection(const PictureEntry& entry, const char* colour, const View& view, TextBoxes& labels,
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
  // plate's start and end node, each node once, and its number only where
  // it overlaps no number drawn before.
  std::vector<bool> drawn(std::max(section.nodeY.size(), section.nodeZ.size()) + 1, false);
  auto drawNode = [&](int node, double nodeY, double nodeZ) {
    if (node < 1 || static_cast<std::size_t>(node) >= drawn.size() || drawn[node]) return;
    drawn[static_cast<std::size_t>(node)] = true;
    const double x = view.x(nodeY + shift.y);
    const double y = view.y(nodeZ + shift.z);
    svg += "<circle cx=\"" + number(x) + "\" cy=\"" + number(y) + "\" r=\"2\" stroke=\"none\"/>\n";
    const std::string text = std::to_string(node);
    if (drawn.size() - 1 <= static_cast<std::size_t>(kMostNumberedNodes) &&
        labels.place(textBox(x + 4, y - 4, text, kNodeFont))) {
      svg += "<text x=\"" + number(x + 4) + "\" y=\"" + number(y - 4) +
             "\" font-size=\"10\" stroke=\"none\">" + text + "</text>\n";
    }
  };
  for (int k = 0; k < section.ns; ++k) {
    const PlateLine line = plateLine(section, k);
    drawNode(section.startNode[k], line.y1, line.z1);
    if (k < static_cast<int>(section.endNode.size()))
      drawNode(section.endNode[k], line.y2, line.z2);
  }
  svg += centroidMark(view.x(entry.properties.yc + shift.y), view.y(entry.properties.zc + shift.z));
  if (entry.properties.torsionAndWarping) {
    svg += shearCentreMark(view.x(entry.properties.ys + shift.y),
                           view.y(entry.properties.zs + shift.z));
  }
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

std::string roundingExplanation(const CrossSection& section) {
  for (const std::string& line : section.explanation) {
    if (line.rfind("Radius ", 0) == 0) return line;
  }
  return std::string();
}

std::string drawSections(const std::vector<PictureEntry>& entries) {
  const View view = fitView(entries);
  // The legend: one line per file (with how it was made), then the marks.
  std::vector<std::string> legend;
  for (const PictureEntry& entry : entries) {
    const std::string made = roundingExplanation(*entry.section);
    legend.push_back(entry.name + (made.empty() ? "" : ": " + made));
  }
  const std::string unit = entries.empty() ? "" : entries.front().section->Laenge;
  const double length = scaleBarLength(view);
  const std::string scaleText = number(length) + " " + unit;
  double contentWidth = kMarkReach + view.width() + kLabelRoom;
  for (const std::string& line : legend) {
    contentWidth = std::max(contentWidth, kMarkColumn + textWidth(line, kLegendFont));
  }
  contentWidth = std::max({contentWidth, kMarkColumn + textWidth("shear centre", kLegendFont),
                           length * view.scale, textWidth(scaleText, kLegendFont)});
  const double width = 2 * kMargin + contentWidth;
  const double legendTop = kMargin + view.height() + 1.5 * kLabelRoom;
  const double marksTop = legendTop + kLegendLine * static_cast<double>(legend.size());
  const double barY = marksTop + 2 * kLegendLine + kLegendLine;
  const double height = barY + kMargin;

  std::string svg = svgOpening(width, height);
  TextBoxes labels;
  for (std::size_t i = 0; i < entries.size(); ++i) {
    drawSection(entries[i], pictureColour(i), view, labels, svg);
  }

  auto legendText = [&](double y, const std::string& text) {
    svg += "<text x=\"" + number(kMargin + kMarkColumn) + "\" y=\"" + number(y) +
           "\" font-size=\"12\">" + xmlEscaped(text) + "</text>\n";
  };
  for (std::size_t i = 0; i < legend.size(); ++i) {
    const double y = legendTop + kLegendLine * static_cast<double>(i) + kLegendFont;
    svg += "<rect x=\"" + number(kMargin) + "\" y=\"" + number(y - 9) +
           "\" width=\"16\" height=\"8\" fill=\"" + pictureColour(i) + "\"/>\n";
    legendText(y, legend[i]);
  }
  const double centroidY = marksTop + kLegendFont;
  svg += "<g stroke=\"black\">\n" + centroidMark(kMargin + 8, centroidY - 4) +
         shearCentreMark(kMargin + 8, centroidY + kLegendLine - 4) + "</g>\n";
  legendText(centroidY, "centroid");
  legendText(centroidY + kLegendLine, "shear centre");

  // Scale bar in the length unit of the first section.
  svg += "<path d=\"M" + number(kMargin) + " " + number(barY) + "h" + number(length * view.scale) +
         "\" stroke=\"black\" stroke-width=\"2\"/>\n";
  svg += "<text x=\"" + number(kMargin) + "\" y=\"" + number(barY - 6) + "\" font-size=\"12\">" +
         xmlEscaped(scaleText) + "</text>\n";
  svg += "</svg>\n";
  return svg;
}
