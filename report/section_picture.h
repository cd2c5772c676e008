// An SVG picture of one or more sections drawn to one scale, the first in
// grey beneath the others, each placed so that its first node lies at the
// same point: plates as lines as thick as the plates, nodes, node numbers
// (up to 60 nodes a section, each where it overlaps no number drawn
// before), centroids and shear centres, a legend with how each file was
// made, and a scale bar. The picture is as large as its content.
#pragma once

#include <string>
#include <vector>

#include "report/property_table.h"
#include "section/section_properties.h"

// Each entry's name is shown in the legend.
using PictureEntry = PropertyColumn;

std::string drawSections(const std::vector<PictureEntry>& entries);

// How the index-th file of a picture is drawn, the same in every picture:
// the first in grey, the next nine in nine distinct colours, then the same
// nine colours again with long dashes, then dotted, dash-dotted, and so on
// with one dot more each round, so that no two files look alike. dash is an
// SVG stroke-dasharray, empty for a solid line.
struct PictureStyle {
  const char* colour = "";
  std::string dash;
};
PictureStyle pictureStyle(std::size_t index);

// The colour of pictureStyle(index) (the sections here are drawn solid).
const char* pictureColour(std::size_t index);

// The explanation line that says how a rounded file was made ("Radius 4,
// convex, ..."); empty for a file that was not rounded.
std::string roundingExplanation(const CrossSection& section);

// Text made safe for XML: markup characters become character references;
// text that is valid UTF-8 keeps its characters, in other text the bytes
// above 127 are taken as Latin-1.
std::string xmlEscaped(const std::string& text);
