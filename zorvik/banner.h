// The banner that zorvik prints first, and the German usage text of a start
// without a usable file.
#pragma once

#include <iosfwd>

class Console;

void printBanner(std::ostream& out);
// Writes the usage text and waits for one key.
void printUsage(Console& console);
