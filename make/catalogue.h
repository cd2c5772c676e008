// Sections built from the dimensions that catalogues print: channel, lipped
// channel, zed, lipped zed, hat, angle, and a plain chain of plates.
//
// Out-to-out dimensions become the centre-line model by the usual rule: a
// dimension measured over the outer faces loses t/2 at each folded edge and
// nothing at a free edge (web D - t; flange B - t/2 of a plain channel or zed,
// B - t of a lipped one and of the top of a hat; lip L - t/2; brim of a hat
// F - t/2; angle legs B - t/2).
//
// Orientation: y to the right, z downwards, the top part at the smallest z.
// The chain starts at the free end of the top part (the top lip, or the top
// flange where there is none; the left brim of a hat; the top of an angle's
// vertical leg) and every angle lies in (-180, 180].
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "platform/result.h"
#include "section/cross_section.h"

struct SectionRecipe {
  std::string shape;                // "channel", "lipped-channel", ...
  std::vector<double> dimensions;   // in the shape's order, t last; chain: t only
  std::vector<double> chainWidths;  // chain: centre-line widths
  std::vector<double> chainAngles;  // chain: angles in degrees
  bool centreLine = false;          // the dimensions are centre-line values already
  double lipAngle = 90;             // degrees from the flange's direction to its lip
  int divide = 1;                   // every plate in this many equal pieces
  std::string title;                // empty: named after shape and dimensions
  std::string force = "kN";
  std::string length = "mm";
  // Not given: steel in the units (E), 0.3 (MUE), E / (2 (1 + MUE)) (G).
  std::optional<double> E;
  std::optional<double> G;
  std::optional<double> MUE;
};

// The shapes and the names of their dimensions, t last: "channel" D B t, ...
const std::vector<std::pair<std::string, std::vector<std::string>>>& sectionShapes();

// The centre-line plates of a recipe: widths and angles in chain order. A
// failure names the dimension that makes no section.
Result centreLinePlates(const SectionRecipe& recipe, std::vector<double>& widths,
                        std::vector<double>& angles);

// The whole section: plates, nodes from the origin, material, thickness,
// title and the explanation line that records shape and dimensions. Plates
// that cross or touch other than at their shared nodes make no section.
Result makeSection(const SectionRecipe& recipe, CrossSection& section);

// Fails naming the first two plates that cross or touch (closer than 1e-9 of
// the section's size) other than at a node they share.
Result checkPlatesApart(const CrossSection& section);
