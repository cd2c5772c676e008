// zorvik-view: section properties of KAF files side by side, and one SVG
// picture of all of them to one scale, written next to the first file.
//
//   zorvik-view [--csv FILE|-] [--svg NAME] [--no-picture] FILE.kaf [MORE.kaf ...]
#pragma once

#include <string>
#include <vector>

// The whole program on the process's console; returns the exit code: 0 when
// everything asked was done, 1 when not (a file refused, an output or
// standard output not written), 2 for a wrong command line, no file, files
// of different unit systems or outputs that would overwrite a file.
int runView(const std::vector<std::string>& arguments);
