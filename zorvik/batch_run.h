// The run without the dialogue: every answer given as an option, any number
// of section files, nothing asked and nothing awaited.
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

struct BatchRequest;

// Rounds every file of the request. Returns 0 when every file of every input
// was written, 1 when some were not, 2 when an output would be an input or
// two outputs one file (said on err; nothing is written).
int runBatch(const BatchRequest& request, std::ostream& out, std::ostream& err);

// The whole command line: parses it, then help, version or the run. A wrong
// command line is said in one line on err, and gives exit code 2.
int runCommandLine(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err);
