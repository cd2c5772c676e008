// Program entry: the banner, the German usage text, and the test that the
// program was given a section file that exists.
#pragma once

#include <iosfwd>
#include <string>

class Console;

void printBanner(std::ostream& out);
// Writes the usage text and waits for one key.
void printUsage(Console& console);

// The whole program: banner, argument test, then the rounding run. Returns
// the exit code.
int runProgram(int argc, const char* const* argv, Console& console);
