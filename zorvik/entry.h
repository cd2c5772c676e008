// Program entry: the run with options, or the banner, the test that the
// program was given a section file that exists, and the dialogue.
#pragma once

#include <iosfwd>

class Console;

// The whole program: with options the run without the dialogue (messages
// about the command line on err); otherwise the banner, the argument test and
// the dialogue. Returns the exit code.
int runProgram(int argc, const char* const* argv, Console& console, std::ostream& err);
