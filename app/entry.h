// Program entry: the banner, the German usage text, and the test that the
// program was given a section file that exists.
#pragma once

#include <iosfwd>
#include <string>

class Console;

void printBanner(std::ostream& out);
// Writes the usage text and waits for one key.
void printUsage(Console& console);

// "0.64".
std::string versionText();

// The whole program: with options the run without the dialogue (messages
// about the command line on err); otherwise the banner, the argument test and
// the dialogue. Returns the exit code.
int runProgram(int argc, const char* const* argv, Console& console, std::ostream& err);
