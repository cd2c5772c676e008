#include "app/batch_run.h"

#include <ostream>

#include "app/command_line.h"
#include "app/console_input.h"
#include "app/entry.h"
#include "app/round_lines.h"
#include "report/description.h"
#include "rounding/generation.h"
#include "section/cross_section.h"

namespace {

const int kWrongCommandLine = 2;

bool refuse(std::ostream& out, const std::string& file, const std::string& reason) {
  writeLine(out, "Cannot use " + file + ": " + reason);
  return false;
}

// The settings of one file: what the request gives, the rest from the file.
GenerationSettings settingsFor(const BatchRequest& request, const CrossSection& section) {
  GenerationSettings settings;
  settings.outputFolder = request.outputFolder;
  settings.thickness = request.thickness.value_or(section.t_r[0]);
  settings.convex = !request.concave;
  settings.elementsPerCorner = request.elementsPerCorner;
  settings.divisionNumbers =
      request.divisionNumbers.value_or(std::vector<int>(static_cast<std::size_t>(section.ns), 1));
  return settings;
}

std::vector<double> radiiFor(const BatchRequest& request, const CrossSection& section) {
  if (request.radius) return {*request.radius};
  if (request.series) {
    return radiusSeries(request.series->first, request.series->last, request.series->count);
  }
  return {2 * section.t_r[0]};  // the dialogue's default, from the thickness as loaded
}

// One input file: its description, then its rounds. False when a file that
// was asked for was not written.
bool runFile(const BatchRequest& request, const std::string& file, std::ostream& out) {
  CrossSection section;
  const Result loaded = section.load(file);
  if (!loaded) return refuse(out, file, loaded.reason());
  if (!request.quiet) printDescription(section, out);
  const Result usable = checkUsable(section);
  if (!usable) return refuse(out, file, usable.reason());
  if (request.divisionNumbers && request.divisionNumbers->size() != std::size_t(section.ns)) {
    return refuse(out, file,
                  "it has " + std::to_string(section.ns) + " plates, but " +
                      std::to_string(request.divisionNumbers->size()) +
                      " division numbers were given");
  }
  if (!request.quiet) {
    printFirstLook(out, file, section);
    writeLine(out, "Generated Files: ");
  }
  const GenerationSettings settings = settingsFor(request, section);
  const std::vector<double> radii = radiiFor(request, section);
  bool allWritten = true;
  for (std::size_t i = 0; i < radii.size(); ++i) {
    allWritten = printRound(out, file, settings, radii[i], static_cast<int>(i) + 1) && allWritten;
  }
  return allWritten;
}

}  // namespace

int runBatch(const BatchRequest& request, std::ostream& out) {
  if (!request.quiet) printBanner(out);
  int exitCode = 0;
  for (std::size_t i = 0; i < request.files.size(); ++i) {
    if (!request.quiet && i > 0) writeLine(out, "");
    if (!runFile(request, request.files[i], out)) exitCode = 1;
  }
  return exitCode;
}

int runCommandLine(const std::vector<std::string>& arguments, std::ostream& out,
                   std::ostream& err) {
  CommandAction action = CommandAction::Run;
  BatchRequest request;
  const Result parsed = parseCommandLine(arguments, action, request);
  if (!parsed) {
    writeLine(err, "zorvik: " + parsed.reason());
    return kWrongCommandLine;
  }
  switch (action) {
    case CommandAction::Help:
      writeText(out, usageText());
      return 0;
    case CommandAction::Version:
      writeLine(out, "zorvik " + versionText());
      return 0;
    case CommandAction::Run:
      break;
  }
  return runBatch(request, out);
}
