#include "zorvik/entry.h"

#include <algorithm>
#include <string>
#include <vector>

#include "console/console.h"
#include "platform/platform.h"
#include "zorvik/banner.h"
#include "zorvik/batch_run.h"
#include "zorvik/dialogue.h"
#include "zorvik/zorvik_options.h"

int runProgram(int argc, const char* const* argv, Console& console, std::ostream& err) {
  const std::vector<std::string> arguments(argv + std::min(argc, 1), argv + argc);
  if (hasOptions(arguments)) return runCommandLine(arguments, console.out(), err);
  printBanner(console.out());
  if (argc < 2) {
    printUsage(console);
    return 1;
  }
  const std::string inputName = argv[1];
  if (argc == 2 && !platform::fileExists(inputName)) {
    writeLine(console.out(), "Datei " + inputName + " nicht gefunden!");
    printUsage(console);
    return 1;
  }
  // Every file dropped on the icon is rounded in turn.
  return runRounding(std::vector<std::string>(argv + 1, argv + argc), console);
}
