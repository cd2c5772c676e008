#include "zorvik/zorvik_options.h"

#include "console/value_rules.h"
#include "platform/platform.h"

namespace {

// The pieces of a list separated by commas, blanks or tabs; empty ones dropped.
std::vector<std::string> listItems(const std::string& list) {
  std::vector<std::string> items;
  std::string item;
  for (char c : list + ",") {
    if (c == ',' || c == ' ' || c == '\t') {
      if (!item.empty()) items.push_back(item);
      item.clear();
    } else {
      item += c;
    }
  }
  return items;
}

std::vector<std::string> splitAt(const std::string& text, char separator) {
  std::vector<std::string> parts(1);
  for (char c : text) {
    if (c == separator) {
      parts.emplace_back();
    } else {
      parts.back() += c;
    }
  }
  return parts;
}

// Whether its stiffness is finite depends on each file's E and MUE: the run
// checks that per file.
Result takeThickness(const std::string& value, BatchRequest& request) {
  double t = 0;
  const Result taken = checkThickness(value, t);
  if (!taken) return taken;
  request.thickness = t;
  request.thicknessText = value;
  return Result::success();
}

Result takeRadius(const std::string& value, BatchRequest& request) {
  double radius = 0;
  const Result taken = checkRadius(value, radius);
  if (taken) request.radius = radius;
  return taken;
}

// FIRST or LAST of a series: any number here, the range is checked after;
// a text that is no number is refused as a radius is.
Result takeSeriesEnd(const std::string& text, double& value) {
  const std::optional<double> number = parseNumber(text);
  if (!number) return checkRadius(text, value);
  value = *number;
  return Result::success();
}

Result takeSeries(const std::string& value, BatchRequest& request) {
  const std::vector<std::string> parts = splitAt(value, ':');
  if (parts.size() != 3) {
    return Result::failure("Not a series of radii: " + value +
                           ". Type FIRST:LAST:COUNT, such as 2:10:5.");
  }
  double first = 0;
  double last = 0;
  int count = 0;
  Result taken = takeSeriesEnd(parts[0], first);
  if (taken) taken = takeSeriesEnd(parts[1], last);
  if (!taken) return taken;
  if (!checkRadiusCount(parts[2], count) || count < 1) {
    return Result::failure("Not a number of radii: " + parts[2] +
                           ". Type a whole number from 1 to " + std::to_string(kMostRadii) + ".");
  }
  if (count == 1 && !(first > 0 && first == last)) {
    return Result::failure("Not a series of radii: " + value + ". One radius is given as " +
                           "--radius R, or as R:R:1.");
  }
  if (count > 1) {
    taken = checkRadiusRange(parts[0], parts[1], first, last);
    if (!taken) return taken;
  }
  request.series = BatchRequest::Series{first, last, count};
  return Result::success();
}

Result takeElements(const std::string& value, BatchRequest& request) {
  return checkElementsPerCorner(value, request.elementsPerCorner);
}

Result takeDivisions(const std::string& value, BatchRequest& request) {
  const std::vector<std::string> items = listItems(value);
  if (items.empty()) {
    return Result::failure("Not a list of division numbers: \"" + value +
                           "\". Type one whole number from 1 up per plate, such as 2,4,2.");
  }
  std::vector<int> numbers;
  for (const std::string& item : items) {
    int d = 0;
    if (!checkWholeFromOne(item, "a division number", d) || d > kMaxRoundedPlates) {
      return Result::failure(
          "Not a division number for plate " + std::to_string(numbers.size() + 1) + ": " + item +
          ". Type a whole number from 1 to " + std::to_string(kMaxRoundedPlates) + ".");
    }
    numbers.push_back(d);
  }
  request.divisionNumbers = numbers;
  return Result::success();
}

Result takeOutputFolder(const std::string& value, BatchRequest& request) {
  if (!platform::isDirectory(value)) {
    return Result::failure(
        "The output folder " + value +
        (platform::fileExists(value) ? " is not a folder." : " does not exist."));
  }
  request.outputFolder = value;
  return Result::success();
}

const CommandLineRules kRules{"zorvik", false};

// The options of the run, each taking its value into request.
std::vector<OptionSpec> zorvikOptions(BatchRequest& request) {
  auto into = [&request](Result (*take)(const std::string&, BatchRequest&)) {
    return [&request, take](const std::string& value) { return take(value, request); };
  };
  return {
      {"-t", "--thickness", "T", "plate thickness (default: that of plate 1 of each file)",
       into(takeThickness)},
      {"-r", "--radius", "R", "one radius", into(takeRadius)},
      {"", "--radii", "FIRST:LAST:COUNT",
       "COUNT radii from FIRST to LAST (default: one radius,\n2 x the thickness of the run)",
       into(takeSeries)},
      {"", "--concave", "", "concave arcs (default: convex)", setFlag(request.concave)},
      {"", "--inner", "",
       "the radii given are inner bend radii: each becomes\nR + t/2 on the centre line",
       setFlag(request.inner)},
      {"-e", "--elements", "N", "arc plates per corner, 0 for none (default: 4)",
       into(takeElements)},
      {"-d", "--divisions", "LIST",
       "one division number per plate, such as 2,4,2\n(default: no subdivision)",
       into(takeDivisions)},
      {"-o", "--output-dir", "DIR",
       "an existing folder for the files (default: beside\neach input file)",
       into(takeOutputFolder)},
      {"-q", "--quiet", "",
       "no banner and no description: only the names of the\nfiles and the messages",
       setFlag(request.quiet)},
  };
}

}  // namespace

bool hasOptions(const std::vector<std::string>& arguments) {
  for (const std::string& argument : arguments) {
    if (isOption(argument, kRules)) return true;
  }
  return false;
}

Result parseZorvikCommandLine(const std::vector<std::string>& arguments, ParsedCommandLine& parsed,
                              BatchRequest& request) {
  const Result read = parseCommandLine(arguments, zorvikOptions(request), kRules, parsed);
  if (!read || parsed.help || parsed.version) return read;
  request.files = parsed.arguments;
  if (request.radius && request.series) {
    return Result::failure("--radius and --radii cannot be given together; give one of them.");
  }
  if (request.files.empty()) {
    return noSectionFileGiven(kRules.program);
  }
  return Result::success();
}

std::string usageText() {
  BatchRequest unused;
  return "Usage: zorvik FILE.kaf                     asks its questions (the dialogue)\n"
         "       zorvik [OPTIONS] FILE.kaf...        runs without asking\n"
         "\n"
         "Rounds the corners of thin-walled sections given as KAF files. For every\n"
         "radius it writes FILE-rrN.kaf (for MAV3) and FILE-rrN-shear.kaf (for MAV4),\n"
         "N the running number of the radius.\n"
         "\n"
         "Options:\n" +
         optionsText(zorvikOptions(unused)) + "\n" +
         exitCodesText("every file was written", "some were not");
}
