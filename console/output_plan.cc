#include "console/output_plan.h"

#include <map>

#include "platform/platform.h"

Result checkOutputPlan(const std::vector<std::string>& inputs,
                       const std::vector<PlannedOutput>& outputs) {
  std::map<std::string, std::size_t> inputIdentities;
  for (std::size_t i = 0; i < inputs.size(); ++i) {
    inputIdentities.emplace(platform::fileIdentity(inputs[i]), i);
  }
  std::map<std::string, std::size_t> planned;
  for (std::size_t k = 0; k < outputs.size(); ++k) {
    const PlannedOutput& output = outputs[k];
    const std::string identity = platform::fileIdentity(output.name);
    if (inputIdentities.count(identity)) {
      return Result::failure(output.name + " is one of the files given.");
    }
    const auto [earlier, fresh] = planned.emplace(identity, k);
    if (fresh) continue;
    const PlannedOutput& first = outputs[earlier->second];
    if (first.forInput && output.forInput) {
      return Result::failure(output.name + " would be written for both " + first.what + " and " +
                             output.what + ".");
    }
    return Result::failure(output.name + " would be written as both " + first.what + " and " +
                           output.what + ".");
  }
  return Result::success();
}
