#include "report/picture_text.h"

namespace {

const double kCharWidth = 0.6;  // of the font size

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
