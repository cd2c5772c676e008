// The pieces that the SVG pictures are made of: the opening, texts,
// strokes and legend lines, and how texts are laid out without a font at
// hand (a text's width estimated from its font size, and the boxes of the
// texts placed so far, so that a new text goes only where it overlaps none).
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

// The XML declaration, the svg element of this size (its view box from 0, 0;
// sans-serif) and a white ground.
std::string svgOpening(double width, double height);

// A text element: its baseline through (x, y), its content made safe for
// XML; fill empty: the default black.
std::string svgText(double x, double y, const std::string& content, double fontSize,
                    const char* anchor = "start", const std::string& fill = "");

// The attributes of a stroke: colour, width and dash (none when empty).
std::string strokeAttributes(const std::string& colour, double width, const std::string& dash);

// A legend entry with its baseline at y: a level sample line of the stroke
// (strokeAttributes) from x, then the text after it.
std::string legendEntry(double x, double y, const std::string& stroke, const std::string& text,
                        double fontSize);

// Where a legend entry's text starts, from the x of its sample line.
constexpr double kLegendTextIndent = 44;
