// libFuzzer target: any bytes as a command line (NUL separates the
// arguments), through the option parser of zorvik and the generic one, and
// through the plan of the files the run would write. Nothing is written.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "console/options.h"
#include "console/output_plan.h"
#include "fuzz/fuzz_expect.h"
#include "zorvik/round_lines.h"
#include "zorvik/zorvik_options.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::vector<std::string> arguments(1);
  for (std::size_t i = 0; i < size; ++i) {
    if (data[i] == 0) {
      arguments.emplace_back();
    } else {
      arguments.back() += static_cast<char>(data[i]);
    }
  }
  ParsedCommandLine parsed;
  BatchRequest request;
  const Result read = parseZorvikCommandLine(arguments, parsed, request);
  if (read && !parsed.help && !parsed.version) {
    expect(!request.files.empty(), "a run without files was taken");
    expect(!(request.radius && request.series), "--radius and --radii were both taken");
    expect(request.elementsPerCorner >= 0, "a negative element count was taken");
    if (request.thickness) expect(*request.thickness > 0, "a thickness of 0 or less was taken");
    const std::size_t rounds = request.series ? static_cast<std::size_t>(request.series->count) : 1;
    // The plan never writes; it only compares names (files that do not exist
    // are compared by their folder and name).
    const Result plan = checkOutputPlan(
        request.files, plannedRounds(request.files, request.outputFolder, rounds % 5 + 1));
    expect(plan || !plan.reason().empty(), "a refused plan without a reason");
  }
  if (!read) expect(!read.reason().empty(), "a refusal without a reason");
  // The generic parser with an option of each kind.
  std::string value;
  bool flag = false;
  const std::vector<OptionSpec> options = {{"-v", "--value", "V", "",
                                            [&](const std::string& text) {
                                              value = text;
                                              return Result::success();
                                            }},
                                           {"", "--flag", "", "", [&](const std::string&) {
                                              flag = true;
                                              return Result::success();
                                            }}};
  ParsedCommandLine generic;
  const Result taken =
      parseCommandLine(arguments, options, CommandLineRules{"fuzz", true}, generic);
  if (taken && !generic.help && !generic.version) {
    expect(generic.arguments.size() <= arguments.size(), "more arguments than given");
  }
  return 0;
}
