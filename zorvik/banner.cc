#include "zorvik/banner.h"

#include <ostream>
#include <string>

#include "console/console.h"
#include "console/options.h"

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
  console.awaitKey();
}
