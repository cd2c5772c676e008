// The outputs of a run, planned before the first is written: none may be one
// of the inputs, and no two may be one file, however their paths are spelt
// ("./a.kaf", an absolute path, "d/../a.kaf", a hard link).
#pragma once

#include <string>
#include <vector>

#include "platform/result.h"

struct PlannedOutput {
  std::string name;  // as it will be written and shown
  std::string what;  // "the table", or the input it is written for
  bool forInput;     // what names an input file
};

// Fails with the line that names the first clash: "X is one of the files
// given." or "X would be written for both A and B." ("as both the table and
// the picture" for outputs of no input).
Result checkOutputPlan(const std::vector<std::string>& inputs,
                       const std::vector<PlannedOutput>& outputs);
