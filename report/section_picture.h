// An SVG picture of one or more sections drawn to one scale, the first in
// grey beneath the others, each placed so that its first node lies at the
// same point: plates as lines as thick as the plates, nodes, node numbers
// (up to 60 nodes), centroids, a scale bar and a legend.
#pragma once

#include <string>
#include <vector>

#include "report/property_table.h"
#include "report/section_properties.h"

// Each entry's name is shown in the legend.
using PictureEntry = PropertyColumn;

// The picture grows downwards with its legend, so that every entry fits.
std::string drawSections(const std::vector<PictureEntry>& entries);

// The colour of the index-th file of a picture: the first grey, the others
// distinct; beyond the palette the last colour repeats.
const char* pictureColour(std::size_t index);

// Text made safe for XML: markup characters become character references;
// text that is valid UTF-8 keeps its characters, in other text the bytes
// above 127 are taken as Latin-1.
std::string xmlEscaped(const std::string& text);
