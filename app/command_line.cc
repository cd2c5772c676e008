#include "app/command_line.h"

#include <cmath>

#include "app/answer_checks.h"
#include "platform/platform.h"

namespace {

bool isOption(const std::string& argument) { return argument.size() > 1 && argument[0] == '-'; }

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

// The messages of the dialogue end where the dialogue adds a word on Return.
Result refusal(const std::string& message) {
  return Result::failure(message.substr(message.front() == ' ' ? 1 : 0));
}

Result takeThickness(const std::string& value, BatchRequest& request) {
  const std::optional<double> t = checkRadius(value);  // a number above 0
  if (!t || !std::isfinite(*t * *t * *t)) return refusal(notAThickness(value) + ".");
  request.thickness = t;
  return Result::success();
}

Result takeRadius(const std::string& value, BatchRequest& request) {
  request.radius = checkRadius(value);
  return request.radius ? Result::success() : refusal(notARadius(value));
}

Result takeSeries(const std::string& value, BatchRequest& request) {
  const std::vector<std::string> parts = splitAt(value, ':');
  if (parts.size() != 3) {
    return Result::failure("Not a series of radii: " + value +
                           ". Type FIRST:LAST:COUNT, such as 2:10:5.");
  }
  const std::optional<double> first = wholeNumberText(parts[0]);
  if (!first) return refusal(notARadius(parts[0]));
  const std::optional<double> last = wholeNumberText(parts[1]);
  if (!last) return refusal(notARadius(parts[1]));
  const std::optional<int> count = checkRadiusCount(parts[2]);
  if (!count || *count < 1) return refusal(notARadiusCount(parts[2]));
  if (*count == 1 && !(*first > 0 && *first == *last)) {
    return Result::failure("Not a series of radii: " + value + ". One radius is given as " +
                           "--radius R, or as R:R:1.");
  }
  if (*count > 1 && !(*first > 0 && *first < *last)) {
    return refusal(notARange(parts[0], parts[1]));
  }
  request.series = BatchRequest::Series{*first, *last, *count};
  return Result::success();
}

Result takeElements(const std::string& value, BatchRequest& request) {
  const std::optional<int> n = checkElementsPerCorner(value);
  if (!n) return refusal(notElementsPerCorner(value));
  request.elementsPerCorner = *n;
  return Result::success();
}

Result takeDivisions(const std::string& value, BatchRequest& request) {
  const std::vector<std::string> items = listItems(value);
  if (items.empty()) {
    return Result::failure("Not a list of division numbers: \"" + value +
                           "\". Type one whole number from 1 up per plate, such as 2,4,2.");
  }
  std::vector<int> numbers;
  for (const std::string& item : items) {
    const std::optional<int> d = checkDivisionNumber(item);
    if (!d) return refusal(notADivisionNumber(static_cast<int>(numbers.size()) + 1, item));
    numbers.push_back(*d);
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

using Taker = Result (*)(const std::string&, BatchRequest&);

struct ValueOption {
  const char* shortName;  // may be empty
  const char* longName;
  Taker take;
};

const ValueOption kValueOptions[] = {
    {"-t", "--thickness", takeThickness}, {"-r", "--radius", takeRadius},
    {"", "--radii", takeSeries},          {"-e", "--elements", takeElements},
    {"-d", "--divisions", takeDivisions}, {"-o", "--output-dir", takeOutputFolder},
};

const ValueOption* valueOption(const std::string& name) {
  for (const ValueOption& option : kValueOptions) {
    if (name == option.shortName || name == option.longName) return &option;
  }
  return nullptr;
}

// Takes one option (and its value, from "--name=value" or the next argument).
Result takeOption(const std::vector<std::string>& arguments, std::size_t& at,
                  BatchRequest& request) {
  const std::string& argument = arguments[at];
  const std::size_t equals = argument.rfind("--", 0) == 0 ? argument.find('=') : std::string::npos;
  const std::string name = argument.substr(0, equals);
  if (name == "--concave" || name == "-q" || name == "--quiet") {
    if (equals != std::string::npos)
      return Result::failure("The option " + name + " takes no value.");
    (name == "--concave" ? request.concave : request.quiet) = true;
    return Result::success();
  }
  const ValueOption* option = valueOption(name);
  if (!option)
    return Result::failure("Unknown option: " + argument + ". zorvik --help lists the options.");
  if (equals != std::string::npos) return option->take(argument.substr(equals + 1), request);
  if (at + 1 >= arguments.size()) return Result::failure("The option " + name + " needs a value.");
  return option->take(arguments[++at], request);
}

}  // namespace

bool hasOptions(const std::vector<std::string>& arguments) {
  for (const std::string& argument : arguments) {
    if (isOption(argument)) return true;
  }
  return false;
}

Result parseCommandLine(const std::vector<std::string>& arguments, CommandAction& action,
                        BatchRequest& request) {
  action = CommandAction::Run;
  for (const std::string& argument : arguments) {
    if (argument == "--") break;
    if (argument == "-h" || argument == "--help") {
      action = CommandAction::Help;
      return Result::success();
    }
    if (argument == "--version") action = CommandAction::Version;
  }
  if (action == CommandAction::Version) return Result::success();

  bool optionsEnded = false;
  for (std::size_t at = 0; at < arguments.size(); ++at) {
    const std::string& argument = arguments[at];
    if (optionsEnded || !isOption(argument)) {
      request.files.push_back(argument);
    } else if (argument == "--") {
      optionsEnded = true;
    } else {
      const Result taken = takeOption(arguments, at, request);
      if (!taken) return taken;
    }
  }
  if (request.radius && request.series) {
    return Result::failure("--radius and --radii cannot be given together; give one of them.");
  }
  if (request.files.empty()) {
    return Result::failure("No section file given. zorvik --help lists the options.");
  }
  return Result::success();
}

std::string usageText() {
  return "Usage: zorvik FILE.kaf                     asks its questions (the dialogue)\n"
         "       zorvik [OPTIONS] FILE.kaf...        runs without asking\n"
         "\n"
         "Rounds the corners of thin-walled sections given as KAF files. For every\n"
         "radius it writes FILE-rrN.kaf (for MAV3) and FILE-rrN-shear.kaf (for MAV4),\n"
         "N the running number of the radius.\n"
         "\n"
         "Options:\n"
         "  -t, --thickness T          plate thickness (default: that of plate 1 of each file)\n"
         "  -r, --radius R             one radius\n"
         "      --radii FIRST:LAST:COUNT\n"
         "                             COUNT radii from FIRST to LAST (default: one radius,\n"
         "                             2 x the thickness of plate 1 as loaded)\n"
         "      --concave              concave arcs (default: convex)\n"
         "  -e, --elements N           arc plates per corner, 0 for none (default: 4)\n"
         "  -d, --divisions LIST       one division number per plate, such as 2,4,2\n"
         "                             (default: no subdivision)\n"
         "  -o, --output-dir DIR       an existing folder for the files (default: beside\n"
         "                             each input file)\n"
         "  -q, --quiet                no banner and no description: only the names of the\n"
         "                             files and the messages\n"
         "  -h, --help                 this text\n"
         "      --version              the version\n"
         "  --                         ends the options: a file name may begin with '-'\n"
         "\n"
         "Exit code: 0 when every file was written, 1 when some were not, 2 for a wrong\n"
         "command line.\n";
}
