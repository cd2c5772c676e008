// What zorvik-buckle reports of the modes: the lines under the table (the
// further and mixed minima, the changes within their uncertainty, the values
// that are missing or not converged), the mode shapes as CSV and the
// mode-shape picture's files.
#pragma once

#include <string>
#include <vector>

#include "buckle/buckle_table.h"
#include "buckle/mode_picture.h"

struct ModeLines {
  std::vector<std::string> lines;
  bool notAllDone = false;  // a value asked for is missing or not converged
};
ModeLines modeLines(const std::vector<Analysed>& files);

// The modes whose shapes a file shows: its named values, then the modes at
// the lengths of --modes-at.
struct ShownMode {
  std::string label;    // "local", "distortional", "global", or the length asked
  std::string heading;  // "local, 155.209 mm, lambda 0.105835"
  const FoundMode* mode = nullptr;
};
std::vector<ShownMode> shownModes(const Analysed& a);

// One row per node and mode: file, minimum, node (the file's number, empty
// for a node inside a plate), y, z, u_y, u_z, v, theta; the nodes along the
// plates.
std::string modesCsv(const std::vector<Analysed>& files);

std::vector<ModeFile> modeFiles(const std::vector<Analysed>& files);

// "G 0.1 %, D 3.2 %, L 96.4 %, O 0.3 %".
std::string sharesText(const ModeShares& shares);
