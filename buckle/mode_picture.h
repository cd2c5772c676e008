// The mode-shape picture of zorvik-buckle: for each file (a row) and each of
// its modes (a column), the cross-section undeformed in grey and deformed in
// the file's colour, with the mode's heading and its shares under it.
#pragma once

#include <string>
#include <vector>

// A node of the strip model with its displacement in the mode: u_y, u_z in
// the section's plane and theta about the member's axis (radians), in one
// normalisation for the whole mode (the largest displacement 1).
struct ModeNode {
  double y = 0.0, z = 0.0;
  double uy = 0.0, uz = 0.0, theta = 0.0;
};

struct ModeStrip {
  int first = 0, second = 0;  // indices into the nodes
};

struct ModeShape {
  std::string heading;  // "local, 155.2 mm, lambda 0.105842"
  std::string shares;   // "G 0.1 %, D 3.2 %, L 96.4 %, O 0.3 %" (empty: none)
  std::vector<ModeNode> nodes;
  std::vector<ModeStrip> strips;
};

struct ModeFile {
  std::string name;         // the file's name
  std::string explanation;  // how it was made (its radius), or empty
  std::vector<ModeShape> modes;
};

// The largest displacement drawn, as a share of the section's size (the
// larger side of its nodes' bounding box).
constexpr double kModeDisplacementShare = 0.15;

// The SVG: the title at the top, one row per file (its name above it), one
// column per mode, the legend of the files below. Every cell is drawn to the
// scale of its own section, the deformation scaled so that its largest
// displacement is kModeDisplacementShare of the section's size; each
// strip's deformed centre line follows its shape functions (along the strip
// linear between its nodes, across it the cubic of w and theta at its two
// nodes), sampled at a few points. A mode without a displacement to draw
// (none, or one not finite) shows its section undeformed and says so. The
// file's colour and line style are its place among the files
// (pictureStyle), as in the curve picture.
std::string drawModes(const std::string& title, const std::vector<ModeFile>& files);
