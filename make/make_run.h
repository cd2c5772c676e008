// zorvik-make: a section file from the dimensions in a catalogue.
//
//   zorvik-make SHAPE DIMENSIONS... -o OUT.kaf [OPTIONS]
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

// The whole program; returns the exit code: 0 when the file was written, 1
// when it could not be, 2 for a wrong command line.
int runMake(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err);
