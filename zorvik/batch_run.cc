#include "zorvik/batch_run.h"

#include <ostream>

#include "archive/numbers.h"
#include "console/console.h"
#include "console/options.h"
#include "console/value_rules.h"
#include "rounding/generation.h"
#include "rounding/thickness.h"
#include "section/cross_section.h"
#include "section/plate_geometry.h"
#include "zorvik/banner.h"
#include "zorvik/round_lines.h"
#include "zorvik/zorvik_options.h"

namespace {

bool refuse(std::ostream& out, const std::string& file, const std::string& reason) {
  writeLine(out, "Cannot use " + file + ": " + reason);
  return false;
}

// The settings of one file: what the request gives, the rest from the file.
GenerationSettings settingsFor(const BatchRequest& request, const CrossSection& section,
                               std::optional<double> kept) {
  GenerationSettings settings;
  settings.outputFolder = request.outputFolder;
  settings.thickness = request.thickness ? request.thickness : kept;
  settings.ownThicknesses = thicknessRange(section);
  settings.subdivided = request.divisionNumbers.has_value();
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
  return {defaultRadius(section.t_r[0])};  // from the thickness as loaded
}

// One input file: its description, then its rounds. False when a file that
// was asked for was not written.
bool runFile(const BatchRequest& request, const std::string& file, std::ostream& out) {
  CrossSection section;
  const Result usable = loadForRounding(file, section, request.quiet ? nullptr : &out);
  if (!usable) return refuse(out, file, usable.reason());
  if (request.thickness) {
    double t = 0;
    const Result fits = checkThickness(request.thicknessText, section.E, section.MUE, t);
    if (!fits) return refuse(out, file, fits.reason());
  }
  std::optional<double> kept;
  if (!request.thickness) {
    const Result keepable = keptThickness(section, kept);
    if (!keepable) return refuse(out, file, keepable.reason() + ": give one with -t.");
  }
  const std::optional<double> thickness = request.thickness ? request.thickness : kept;
  if (request.inner && !thickness) {
    return refuse(out, file,
                  "its plates differ in thickness, so an inner radius has no one centre line: "
                  "give the thickness with -t.");
  }
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
  const GenerationSettings settings = settingsFor(request, section, kept);
  const std::vector<double> radii = radiiFor(request, section);
  // Inner bend radii become centre-line radii with half the thickness.
  const bool inner = request.inner && (request.radius || request.series);
  bool allWritten = true;
  std::vector<std::string> written;
  for (std::size_t i = 0; i < radii.size(); ++i) {
    const double radius = inner ? radii[i] + *thickness / 2 : radii[i];
    allWritten = printRound(out, file, settings, radius, static_cast<int>(i) + 1, written,
                            inner ? radii[i] : 0.0) &&
                 allWritten;
  }
  const std::string earlier = earlierSeriesLine(file, request.outputFolder, written);
  if (!earlier.empty()) writeLine(out, earlier);
  return allWritten;
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
