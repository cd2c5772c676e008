// An SVG picture of one or more sections drawn to one scale, the first in
// grey beneath the others, each placed so that its first node lies at the
// same point: plates as lines as thick as the plates, nodes, node numbers
// (up to 60 nodes), centroids, a scale bar and a legend.
#pragma once

#include <string>
#include <vector>

#include "report/section_properties.h"

struct PictureEntry {
  std::string name;  // shown in the legend
  const CrossSection* section;
  SectionProperties properties;
};

std::string drawSections(const std::vector<PictureEntry>& entries);

// Text made safe for XML: markup characters and bytes above 127 (taken as
// Latin-1) become character references.
std::string xmlEscaped(const std::string& text);
