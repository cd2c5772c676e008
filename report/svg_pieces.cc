#include "report/svg_pieces.h"

#include "archive/numbers.h"
#include "report/section_picture.h"

namespace {

const double kCharWidth = 0.6;  // of the font size
const double kSampleLength = 36;
const double kSampleRise = 4;  // of a sample line above its text's baseline

std::string number(double value) { return formatReal(value); }

}  // namespace

double textWidth(const std::string& text, double fontSize) {
  return kCharWidth * fontSize * static_cast<double>(text.size());
}

bool TextBox::overlaps(const TextBox& other) const {
  return left < other.right && other.left < right && top < other.bottom && other.top < bottom;
}

TextBox textBox(double x, double y, const std::string& text, double fontSize,
                const std::string& anchor) {
  const double width = textWidth(text, fontSize);
  const double left = anchor == "middle" ? x - width / 2 : anchor == "end" ? x - width : x;
  return {left, y - fontSize, left + width, y};
}

bool TextBoxes::place(const TextBox& box) {
  for (const TextBox& other : placed_) {
    if (box.overlaps(other)) return false;
  }
  placed_.push_back(box);
  return true;
}

std::string svgOpening(double width, double height) {
  return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<svg xmlns=\"http://www.w3.org/2000/svg\" "
         "width=\"" +
         number(width) + "\" height=\"" + number(height) + "\" viewBox=\"0 0 " + number(width) +
         " " + number(height) +
         "\" font-family=\"sans-serif\">\n<rect width=\"100%\" height=\"100%\" fill=\"white\"/>\n";
}

std::string svgText(double x, double y, const std::string& content, double fontSize,
                    const char* anchor, const std::string& fill) {
  return "<text x=\"" + number(x) + "\" y=\"" + number(y) + "\" font-size=\"" + number(fontSize) +
         "\" text-anchor=\"" + anchor + "\"" + (fill.empty() ? "" : " fill=\"" + fill + "\"") +
         ">" + xmlEscaped(content) + "</text>\n";
}

std::string strokeAttributes(const std::string& colour, double width, const std::string& dash) {
  return "stroke=\"" + colour + "\" stroke-width=\"" + number(width) + "\"" +
         (dash.empty() ? "" : " stroke-dasharray=\"" + dash + "\"");
}

std::string legendEntry(double x, double y, const std::string& stroke, const std::string& text,
                        double fontSize) {
  const double sampleY = y - kSampleRise;
  return "<line x1=\"" + number(x) + "\" y1=\"" + number(sampleY) + "\" x2=\"" +
         number(x + kSampleLength) + "\" y2=\"" + number(sampleY) + "\" " + stroke + "/>\n" +
         svgText(x + kLegendTextIndent, y, text, fontSize);
}
