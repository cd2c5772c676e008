// How the SVG pictures lay out their texts without a font at hand: a text's
// width estimated from its font size, and the boxes of the texts placed so
// far, so that a new text goes only where it overlaps none of them.
#pragma once

#include <string>
#include <vector>

// The estimated width of a text in the pictures' sans-serif font: 0.6 of the
// font size for each byte (a character of several bytes counts as several:
// an estimate on the wide side).
double textWidth(const std::string& text, double fontSize);

// The box a text takes: from one font size above its baseline down to it.
struct TextBox {
  double left = 0.0, top = 0.0, right = 0.0, bottom = 0.0;
  bool overlaps(const TextBox& other) const;
};

// The box of a text whose baseline runs through (x, y); anchor as SVG's
// text-anchor: "start", "middle" or "end".
TextBox textBox(double x, double y, const std::string& text, double fontSize,
                const std::string& anchor = "start");

// The boxes of the texts placed so far.
class TextBoxes {
 public:
  // Adds the box when it overlaps none placed before; false (and nothing
  // added) when it does.
  bool place(const TextBox& box);
  // Adds the box whatever it overlaps (a text that must be drawn).
  void add(const TextBox& box) { placed_.push_back(box); }

 private:
  std::vector<TextBox> placed_;
};
