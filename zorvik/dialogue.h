// The rounding dialogue and the generation loop: describe the input section,
// ask the questions, then for every radius of the series round a freshly
// loaded copy of the section and save it twice (for MAV3 and, with "-shear"
// in its name, for MAV4).
#pragma once

#include <string>
#include <vector>

class Console;

// Every file in turn, each with its description, its whole dialogue and its
// rounds, an empty line between files, and "Press key..." once at the end.
// A file that does not exist (among several) or cannot be used is named in
// one line and the next goes on. Returns the exit code: 0 when every file
// was done as asked, 1 otherwise; a radius count of 0 ends the whole run.
int runRounding(const std::vector<std::string>& inputNames, Console& console);
