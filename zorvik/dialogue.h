// The rounding dialogue and the generation loop: describe the input section,
// ask the questions, then for every radius of the series round a freshly
// loaded copy of the section and save it twice (for MAV3 and, with "-shear"
// in its name, for MAV4).
#pragma once

#include <string>

class Console;

// Returns the exit code: 0 after a run in which every file was written, 1 for
// a radius count of 0, a section that cannot be used, or a file not written.
int runRounding(const std::string& inputName, Console& console);
