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

// One dimension of a catalogue shape: its name, the part it measures, and
// how many edges of that part are folded (each loses t/2 on the centre line).
struct ShapeDimension {
  std::string name;  // "D"
  std::string part;  // "web", for the message when it vanishes
  int foldedEdges;
};

// The centre-line plates of a shape in chain order, from the centre-line
// values of its dimensions (t not among them) and the lip angle.
struct ShapePlates {
  std::vector<double> widths;
  std::vector<double> angles;  // degrees, in (-180, 180]
};

// One catalogue shape: everything that zorvik-make knows of it. A new shape
// is one more entry of catalogueShapes().
struct CatalogueShape {
  std::string name;                        // "lipped-channel", as typed
  std::string title;                       // "Lipped channel", the section's default title
  std::vector<ShapeDimension> dimensions;  // t last
  bool lipped;                             // it has lips, which --lip-angle turns
  std::string help;                        // the usage text's line: "web D - t, ..."
  // Null for the chain, whose plates are given as WIDTH:ANGLE.
  ShapePlates (*plates)(const std::vector<double>& centreLine, double lipAngle);
};

// Every shape, in the order of the usage text.
const std::vector<CatalogueShape>& catalogueShapes();
// The shape of that name; null for none.
const CatalogueShape* findShape(const std::string& name);

// The usage text's table of the shapes: each name with its dimensions and
// its help line.
std::string shapesText();

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
