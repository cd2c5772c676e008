#include "app/entry.h"

#include <algorithm>
#include <ostream>
#include <string>
#include <vector>

#include "app/batch_run.h"
#include "app/command_line.h"
#include "app/console_input.h"
#include "app/rounding_run.h"
#include "archive/numbers.h"
#include "platform/platform.h"

namespace {

const double kVersion = 0.64;

}  // namespace

std::string versionText() { return formatReal(kVersion); }

void printBanner(std::ostream& out) {
  const std::string frame(60, '=');
  writeLine(out, frame);
  writeLine(out, " ");
  writeLine(out, "*** This is Zorvik, Version " + versionText() + " ***");
  writeLine(out, " ");
  writeLine(out, " Input:  a KAF for an simple section");
  writeLine(out, "         (open, unbranchend, no intermediate notes) ");
  writeLine(out, " Ouput:  a series of KAF-files with modified sections:");
  writeLine(out, "           - corners are rounded");
  writeLine(out, "           - elements are optionally subdevided");
  writeLine(out, "           - each section is saved twice, i.e. for MAV3 and MAV4");
  writeLine(out, "\t\t\t  (the MV4-file has 'shear' appended to the filename) ");
  writeLine(out, " ");
  writeLine(out, " Usage:  drag a KAF-file onto the program-icon and answer some questions");
  writeLine(out, "         The names of the generated files are displayed as a list.");
  writeLine(out, " ");
  writeLine(out, frame);
}

void printUsage(Console& console) {
  std::ostream& out = console.out();
  writeText(out, "Benutzung: ");
  writeLine(out, "einfach KAF-Datei auf Programmsymbol schieben.");
  writeLine(out, "");
  writeLine(out, "Es werden dann n Dateien mit ausgerundeten Ecken erzeugt.");
  writeLine(out, "Der Radius ist im Dateinamen der neuen Dateien angegeben.");
  writeLine(out, "Ende mit Taste...");
  console.readKey();
}

int runProgram(int argc, const char* const* argv, Console& console, std::ostream& err) {
  const std::vector<std::string> arguments(argv + std::min(argc, 1), argv + argc);
  if (hasOptions(arguments)) return runCommandLine(arguments, console.out(), err);
  printBanner(console.out());
  if (argc < 2) {
    printUsage(console);
    return 1;
  }
  const std::string inputName = argv[1];
  if (!platform::fileExists(inputName)) {
    writeLine(console.out(), "Datei " + inputName + " nicht gefunden!");
    printUsage(console);
    return 1;
  }
  return runRounding(inputName, console);
}
