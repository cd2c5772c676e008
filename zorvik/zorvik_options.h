// The command line of the run without the dialogue:
//   zorvik [OPTIONS] FILE...
// Any option (an argument that begins with '-', "--" included) selects it;
// a command line without one keeps the dialogue.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "console/options.h"
#include "platform/result.h"
#include "rounding/corner_rounding.h"

// What the options ask for; every value already checked as far as it can be
// without a file (a thickness is checked against each file's E and MUE).
struct BatchRequest {
  struct Series {
    double first = 0.0;
    double last = 0.0;
    int count = 0;
  };
  std::vector<std::string> files;
  std::optional<double> thickness;  // none: each file's plate 1
  std::string thicknessText;        // as given, for the messages
  std::optional<double> radius;
  std::optional<Series> series;  // neither: one radius, the default of the run's thickness
  bool concave = false;
  int elementsPerCorner = kDefaultElementsPerCorner;
  std::optional<std::vector<int>> divisionNumbers;  // none: no subdivision
  std::string outputFolder;                         // empty: beside each input
  bool quiet = false;
  bool inner = false;  // the radii given are inner bend radii
};

// True when any argument is an option, so that the dialogue is not asked.
bool hasOptions(const std::vector<std::string>& arguments);

// Reads the arguments into request (help and version into parsed). A
// failure is one line that names the argument or value and says what is wrong.
Result parseZorvikCommandLine(const std::vector<std::string>& arguments, ParsedCommandLine& parsed,
                              BatchRequest& request);

// The text of --help, in English.
std::string usageText();
