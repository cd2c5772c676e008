#include "view/view_run.h"

#include <algorithm>
#include <iostream>
#include <string>
#include <vector>

#include "archive/atomic_file.h"
#include "archive/file_naming.h"
#include "console/console.h"
#include "console/options.h"
#include "console/output_plan.h"
#include "platform/platform.h"
#include "report/property_table.h"
#include "report/section_picture.h"
#include "section/section_properties.h"

namespace {

struct ViewRequest {
  std::vector<std::string> files;
  std::string csv;  // empty: none; "-": standard output
  std::string svg;  // empty: the first file's name with ".svg"
  bool picture = true;
};

std::vector<OptionSpec> viewOptions(ViewRequest& request) {
  return {
      {"", "--csv", "FILE", "the table as CSV into FILE (- for standard output)",
       storeText(request.csv)},
      {"", "--svg", "NAME", "the picture's name (default: the first file's, with .svg)",
       storeText(request.svg)},
      {"", "--no-picture", "", "no picture", setFlag(request.picture, false)},
  };
}

std::string usageText() {
  ViewRequest unused;
  return "zorvik-view: section properties and a picture of KAF files\n"
         "Usage: zorvik-view [OPTIONS] FILE.kaf [MORE.kaf ...]\n" +
         optionsText(viewOptions(unused));
}

// Writes one of the outputs (the CSV or the picture) whole; false when it
// was not written, said on `info`.
bool writeOutput(const char* what, const std::string& name, const std::string& bytes,
                 std::ostream& info) {
  const Result written = writeWholeFile(name, bytes);
  if (!written) {
    info << "Cannot write the " << what << " " << name << ": " << written.reason() << '\n';
    return false;
  }
  info << (what[0] == 't' ? "Table: " : "Picture: ") << name << '\n';
  return true;
}

}  // namespace

int runView(const std::vector<std::string>& arguments) {
  ViewRequest request;
  ParsedCommandLine parsed;
  const Result read = parseCommandLine(arguments, viewOptions(request),
                                       CommandLineRules{"zorvik-view", false}, parsed);
  if (!read) return refuseCommandLine(std::cerr, "zorvik-view", read);
  if (parsed.help || parsed.version) {
    std::cout << (parsed.help ? usageText() : versionLine("zorvik-view") + "\n");
    return 0;
  }
  request.files = parsed.arguments;
  if (request.files.empty()) {
    std::cout << usageText();
    return 1;
  }
  // With the CSV on standard output, everything else goes to standard error.
  const bool csvToStdout = request.csv == "-";
  std::ostream& info = csvToStdout ? std::cerr : std::cout;
  int exitCode = 0;
  std::vector<CrossSection> sections;
  std::vector<std::string> paths;
  std::string refusals;
  sections.reserve(request.files.size());
  for (const std::string& file : request.files) {
    CrossSection section;
    Result loaded = section.load(file);
    if (loaded) loaded = checkMeasurable(section);
    if (!loaded) {
      refusals += "Cannot read " + file + ": " + loaded.reason() + "\n";
      exitCode = 1;
      continue;
    }
    sections.push_back(std::move(section));
    paths.push_back(file);
  }
  std::vector<const CrossSection*> loaded;
  for (const CrossSection& section : sections) loaded.push_back(&section);
  const Result units =
      checkOneUnitSystem(paths, loaded, "view sections of one unit system together.");
  if (!units) return refuseCommandLine(std::cerr, "zorvik-view", units);
  const std::string pictureName = !request.picture || paths.empty() ? ""
                                  : request.svg.empty() ? withExtension(paths.front(), ".svg")
                                                        : request.svg;
  std::vector<PlannedOutput> outputs;
  if (!request.csv.empty() && !csvToStdout) outputs.push_back({request.csv, "the table", false});
  if (!pictureName.empty()) outputs.push_back({pictureName, "the picture", false});
  const Result plan = checkOutputPlan(request.files, outputs);
  if (!plan) return refuseCommandLine(std::cerr, "zorvik-view", plan);
  info << refusals;
  if (!sections.empty()) {
    std::vector<PropertyColumn> columns;
    for (std::size_t i = 0; i < sections.size(); ++i) {
      columns.push_back({fileNameOf(paths[i]), &sections[i], computeProperties(sections[i])});
    }
    if (!csvToStdout) std::cout << propertyTable(columns);
    if (csvToStdout) {
      platform::useBinaryStandardOutput();  // the CSV brings its own CR LF
      std::cout << propertyCsv(columns) << std::flush;
    } else if (!request.csv.empty() &&
               !writeOutput("table", request.csv, propertyCsv(columns), info)) {
      exitCode = 1;
    }
    if (!pictureName.empty() && !writeOutput("picture", pictureName, drawSections(columns), info)) {
      exitCode = 1;
    }
  }
  // A window opened by dropping files on the icon stays until a key; a run
  // whose output goes to a file or a pipe does not wait.
  if (csvToStdout || !platform::stdinIsTerminal() || !platform::stdoutIsTerminal()) {
    return exitCode;
  }
  std::cout << "Press key..." << std::flush;
  awaitKey();
  std::cout << '\n';
  return exitCode;
}
