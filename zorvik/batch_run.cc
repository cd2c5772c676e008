#include "zorvik/batch_run.h"

#include <ostream>

#include "console/console.h"
#include "console/options.h"
#include "console/program_shell.h"
#include "console/value_rules.h"
#include "rounding/generation.h"
#include "rounding/thickness.h"
#include "section/cross_section.h"
#include "zorvik/banner.h"
#include "zorvik/round_lines.h"
#include "zorvik/zorvik_options.h"

namespace {

// The radii asked for; without one, the default of the thickness of the run
// (the one given, or plate 1's where each plate keeps its own).
std::vector<double> radiiFor(const BatchRequest& request, const CrossSection& section,
                             const GenerationSettings& settings) {
  if (request.radius) return {*request.radius};
  if (request.series) {
    return radiusSeries(request.series->first, request.series->last, request.series->count);
  }
  return {defaultRadius(settings.thickness.value_or(section.t_r[0]))};
}

// What the request asks of one loaded file, the rest from the file; the
// reason when the file cannot take it.
Result gatherFileRounds(const BatchRequest& request, const CrossSection& section,
                        FileRounds& rounds) {
  GenerationSettings& settings = rounds.settings;
  if (request.thickness) {
    double t = 0;
    const Result fits = checkThickness(request.thicknessText, section.E, section.MUE, t);
    if (!fits) return fits;
    settings.thickness = t;
  } else {
    const Result keepable = keptThickness(section, settings.thickness);
    if (!keepable) return Result::refused(keepable.reason() + ": give one with -t.");
  }
  if (request.inner && !settings.thickness) {
    return Result::refused(
        "its plates differ in thickness, so an inner radius has no one centre line: "
        "give the thickness with -t.");
  }
  if (request.divisionNumbers && request.divisionNumbers->size() != std::size_t(section.ns)) {
    return Result::refused("it has " + std::to_string(section.ns) + " plates, but " +
                           std::to_string(request.divisionNumbers->size()) +
                           " division numbers were given");
  }
  settings.outputFolder = request.outputFolder;
  settings.ownThicknesses = thicknessRange(section);
  settings.subdivided = request.divisionNumbers.has_value();
  settings.convex = !request.concave;
  settings.elementsPerCorner = request.elementsPerCorner;
  settings.divisionNumbers =
      request.divisionNumbers.value_or(std::vector<int>(static_cast<std::size_t>(section.ns), 1));
  rounds.radii = radiiFor(request, section, settings);
  // Without a radius given, the default is on the centre line.
  rounds.innerRadii = request.inner && (request.radius || request.series);
  return Result::success();
}

// One input file: its description, then its rounds. False when a file that
// was asked for was not written.
bool runFile(const BatchRequest& request, const std::string& file, std::ostream& out) {
  CrossSection section;
  FileRounds rounds;
  std::vector<std::string> notes;
  Result usable = loadForRounding(file, section, notes, request.quiet ? nullptr : &out);
  if (usable) usable = gatherFileRounds(request, section, rounds);
  if (!usable) {
    writeLine(out, cannotUse(file, usable.reason()));
    return false;
  }
  if (!request.quiet) {
    printFirstLook(out, file, section, notes);
    writeLine(out, "Generated Files: ");
  }
  std::vector<std::string> written;
  return writeFileRounds(out, file, rounds, written);
}

}  // namespace

int runBatch(const BatchRequest& request, std::ostream& out, std::ostream& err) {
  const std::size_t rounds =
      request.series
          ? radiusSeries(request.series->first, request.series->last, request.series->count).size()
          : 1;
  const Result plan =
      checkOutputPlan(request.files, plannedRounds(request.files, request.outputFolder, rounds));
  if (!plan) return refuseCommandLine(err, "zorvik", plan);
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
  ParsedCommandLine parsed;
  BatchRequest request;
  const Result read = parseZorvikCommandLine(arguments, parsed, request);
  if (!read) return refuseCommandLine(err, "zorvik", read);
  if (parsed.help) {
    writeText(out, usageText());
    return 0;
  }
  if (parsed.version) {
    writeLine(out, versionLine("zorvik"));
    return 0;
  }
  return runBatch(request, out, err);
}
