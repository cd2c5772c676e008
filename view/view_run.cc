#include "view/view_run.h"

#include <functional>
#include <iostream>
#include <string>
#include <vector>

#include "archive/file_naming.h"
#include "console/console.h"
#include "console/options.h"
#include "console/output_plan.h"
#include "console/program_shell.h"
#include "platform/platform.h"
#include "report/property_table.h"
#include "report/section_picture.h"
#include "section/section_check.h"
#include "section/section_properties.h"

namespace {

const char kProgram[] = "zorvik-view";

struct ViewRequest {
  std::vector<std::string> files;
  std::string csv;  // empty: none; "-": standard output
  std::string svg;  // empty: the first file's name with ".svg"
  bool picture = true;
};

std::vector<OptionSpec> viewOptions(ViewRequest& request) {
  return {
      {"", "--csv", "FILE", "the table as CSV into FILE (- for standard output)",
       storeFileName(request.csv, "--csv", true)},
      {"", "--svg", "NAME", "the picture's name (default: the first file's, with .svg)",
       storeFileName(request.svg, "--svg", false)},
      {"", "--no-picture", "", "no picture", setFlag(request.picture, false)},
  };
}

std::string usageText() {
  ViewRequest unused;
  return "zorvik-view: section properties and a picture of KAF files\n"
         "Usage: zorvik-view [OPTIONS] FILE.kaf [MORE.kaf ...]\n" +
         optionsText(viewOptions(unused));
}

// The files that load and pass the data check of every program, with their
// properties, in the order given; the others are refused in the shell, and
// the notes on those that are used wait there beside the refusals.
struct LoadedFiles {
  std::vector<CrossSection> sections;
  std::vector<std::string> paths;
  std::vector<SectionProperties> properties;
};

LoadedFiles loadFiles(const std::vector<std::string>& files, ProgramShell& shell) {
  LoadedFiles loaded;
  loaded.sections.reserve(files.size());
  loaded.paths.reserve(files.size());
  loaded.properties.reserve(files.size());
  for (const std::string& file : files) {
    CrossSection section;
    std::vector<std::string> notes;
    SectionProperties properties;
    Result usable = loadSection(file, section, notes);
    if (usable) {
      usable = failedWhenOutOfMemory(
          [&] {
            properties = computeProperties(section);
            return Result::success();
          },
          "out of memory while measuring it");
    }
    if (!usable) {
      shell.refuseFile(file, usable);
      continue;
    }
    for (const std::string& note : notes) shell.noteFile(note);
    loaded.sections.push_back(std::move(section));
    loaded.paths.push_back(file);
    loaded.properties.push_back(properties);
  }
  return loaded;
}

// The table and the picture, as the request names them.
std::vector<ProgramOutput> viewOutputs(const ViewRequest& request, const LoadedFiles& loaded) {
  std::vector<ProgramOutput> outputs;
  if (!request.csv.empty()) {
    outputs.push_back({"--csv", "table", request.csv, "Table", request.csv == "-"});
  }
  if (request.picture && !loaded.paths.empty()) {
    const std::string name =
        request.svg.empty() ? withExtension(loaded.paths.front(), ".svg") : request.svg;
    outputs.push_back({"--svg", "picture", name, "Picture"});
  }
  return outputs;
}

// Text that is made in memory: its bytes, or the failure when the memory
// runs out (a picture of millions of plates).
Result made(std::string& bytes, const std::function<std::string()>& make) {
  return failedWhenOutOfMemory(
      [&] {
        bytes = make();
        return Result::success();
      },
      "out of memory");
}

// The property table on the console and every output asked for.
void showSections(const LoadedFiles& loaded, const std::vector<ProgramOutput>& outputs,
                  ProgramShell& shell) {
  std::vector<PropertyColumn> columns;
  for (std::size_t i = 0; i < loaded.sections.size(); ++i) {
    columns.push_back({fileNameOf(loaded.paths[i]), &loaded.sections[i], loaded.properties[i]});
  }
  std::string table;
  if (made(table, [&] { return propertyTable(columns); })) {
    shell.print(table);
  } else {
    shell.messages() << kProgram << ": the table is not shown: out of memory.\n";
    shell.notAllDone();
  }
  for (const ProgramOutput& output : outputs) {
    std::string bytes;
    const Result ready = made(bytes, [&] {
      return output.what == "table" ? propertyCsv(columns) : drawSections(columns);
    });
    if (ready) {
      shell.write(output, bytes);
    } else {
      shell.cannotWrite(output, ready.reason());
    }
  }
}

// A window opened by dropping files on the icon stays until a key; a run
// whose output goes to a file or a pipe does not wait.
void waitInAWindow(const ProgramShell& shell) {
  if (shell.standardOutputTaken() || !platform::stdinIsTerminal() ||
      !platform::stdoutIsTerminal()) {
    return;
  }
  std::cout << "Press key..." << std::flush;
  awaitKey();
  std::cout << '\n';
}

}  // namespace

int runView(const std::vector<std::string>& arguments) {
  ProgramShell shell(kProgram, std::cout, std::cerr);
  ViewRequest request;
  ParsedCommandLine parsed;
  const Result read =
      parseCommandLine(arguments, viewOptions(request), CommandLineRules{kProgram, false}, parsed);
  if (!read) return shell.refuseRun(read);
  if (parsed.help || parsed.version) {
    std::cout << (parsed.help ? usageText() : versionLine(kProgram) + "\n");
    return shell.finish();
  }
  request.files = parsed.arguments;
  if (request.files.empty()) return shell.refuseRun(noSectionFileGiven(kProgram));
  const LoadedFiles loaded = loadFiles(request.files, shell);
  std::vector<const CrossSection*> sections;
  for (const CrossSection& section : loaded.sections) sections.push_back(&section);
  const Result units =
      checkOneUnitSystem(loaded.paths, sections, "view sections of one unit system together.");
  if (!units) return shell.refuseRun(units);
  const std::vector<ProgramOutput> outputs = viewOutputs(request, loaded);
  Result plan = shell.setOutputs(outputs);
  if (plan) plan = checkOutputPlan(request.files, shell.plannedFiles());
  if (!plan) return shell.refuseRun(plan);
  shell.sayRefusals();
  if (!loaded.sections.empty()) showSections(loaded, outputs, shell);
  const int exitCode = shell.finish();
  waitInAWindow(shell);
  return exitCode;
}
