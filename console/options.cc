#include "console/options.h"

#include <ostream>

#include "archive/numbers.h"

namespace {

const double kVersion = 0.64;
const std::size_t kHelpColumn = 29;
const std::size_t kTextWidth = 79;

const OptionSpec* findOption(const std::vector<OptionSpec>& options, const std::string& name) {
  for (const OptionSpec& option : options) {
    if (name == option.shortName || name == option.longName) return &option;
  }
  return nullptr;
}

// Takes the option at arguments[at], and its value from "--name=value" or
// the next argument.
Result takeOption(const std::vector<std::string>& arguments, std::size_t& at,
                  const std::vector<OptionSpec>& options, const CommandLineRules& rules) {
  const std::string& argument = arguments[at];
  const std::size_t equals = argument.rfind("--", 0) == 0 ? argument.find('=') : std::string::npos;
  const std::string name = argument.substr(0, equals);
  const OptionSpec* option = findOption(options, name);
  if (!option) {
    return Result::failure("Unknown option: " + argument + ". " + helpHint(rules.program));
  }
  if (option->valueName.empty()) {
    if (equals != std::string::npos)
      return Result::failure("The option " + name + " takes no value.");
    return option->take(std::string());
  }
  if (equals != std::string::npos) return option->take(argument.substr(equals + 1));
  if (at + 1 >= arguments.size()) return Result::failure("The option " + name + " needs a value.");
  return option->take(arguments[++at]);
}

std::string entryHead(const OptionSpec& option) {
  std::string head = "  ";
  if (option.shortName.empty()) {
    head += "    " + option.longName;
  } else {
    head += option.shortName + (option.longName.empty() ? "" : ", " + option.longName);
  }
  if (!option.valueName.empty()) head += " " + option.valueName;
  return head;
}

std::string entryText(const std::string& head, const std::string& help) {
  std::string text = head;
  if (head.size() + 1 > kHelpColumn) {
    text += "\n";
    text.append(kHelpColumn, ' ');
  } else {
    text.append(kHelpColumn - head.size(), ' ');
  }
  for (char c : help) {
    text += c;
    if (c == '\n') text.append(kHelpColumn, ' ');
  }
  return text + "\n";
}

}  // namespace

std::function<Result(const std::string&)> storeText(std::string& target) {
  return [&target](const std::string& value) {
    target = value;
    return Result::success();
  };
}

std::function<Result(const std::string&)> storeFileName(std::string& target,
                                                        const std::string& option,
                                                        bool standardOutputToo) {
  return [&target, option, standardOutputToo](const std::string& value) {
    if (value.empty()) {
      return Result::refused("The option " + option + " needs a file name" +
                             (standardOutputToo ? ", or - for standard output" : "") +
                             ": an empty name names no file.");
    }
    target = value;
    return Result::success();
  };
}

std::function<Result(const std::string&)> setFlag(bool& target, bool value) {
  return [&target, value](const std::string&) {
    target = value;
    return Result::success();
  };
}

bool isOption(const std::string& argument, const CommandLineRules& rules) {
  if (argument.size() < 2 || argument[0] != '-') return false;
  const char next = argument[1];
  return !(rules.negativeNumbersAreArguments && ((next >= '0' && next <= '9') || next == '.'));
}

Result parseCommandLine(const std::vector<std::string>& arguments,
                        const std::vector<OptionSpec>& options, const CommandLineRules& rules,
                        ParsedCommandLine& parsed) {
  parsed = ParsedCommandLine();
  for (const std::string& argument : arguments) {
    if (argument == "--") break;
    if (argument == "-h" || argument == "--help") {
      parsed.help = true;
      return Result::success();
    }
    if (argument == "--version") parsed.version = true;
  }
  if (parsed.version) return Result::success();

  bool optionsEnded = false;
  for (std::size_t at = 0; at < arguments.size(); ++at) {
    const std::string& argument = arguments[at];
    if (optionsEnded || !isOption(argument, rules)) {
      parsed.arguments.push_back(argument);
    } else if (argument == "--") {
      optionsEnded = true;
    } else {
      const Result taken = takeOption(arguments, at, options, rules);
      if (!taken) return taken;
    }
  }
  return Result::success();
}

std::string optionsText(const std::vector<OptionSpec>& options) {
  std::string text;
  for (const OptionSpec& option : options) text += entryText(entryHead(option), option.help);
  text += entryText("  -h, --help", "this text");
  text += entryText("      --version", "the version");
  text += entryText("  --", "ends the options: a file name may begin with '-'");
  return text;
}

std::string exitCodesText(const std::string& done, const std::string& notDone,
                          const std::string& also) {
  const std::string text = "Exit code: 0 when " + done + ", 1 when " + notDone +
                           ", 2 for a wrong command line" + (also.empty() ? "" : " or " + also) +
                           ".";
  // Greedy wrapping: as many words on a line as fit.
  std::string wrapped;
  std::size_t lineStart = 0;
  std::size_t wordStart = 0;
  while (wordStart < text.size()) {
    std::size_t wordEnd = text.find(' ', wordStart);
    if (wordEnd == std::string::npos) wordEnd = text.size();
    const bool first = wrapped.size() == lineStart;
    if (!first && wrapped.size() - lineStart + 1 + (wordEnd - wordStart) > kTextWidth) {
      wrapped += '\n';
      lineStart = wrapped.size();
    } else if (!first) {
      wrapped += ' ';
    }
    wrapped.append(text, wordStart, wordEnd - wordStart);
    wordStart = wordEnd + 1;
  }
  return wrapped + "\n";
}

std::string helpHint(const std::string& program) { return program + " --help lists the options."; }

Result noSectionFileGiven(const std::string& program) {
  return Result::refused("No section file given. " + helpHint(program));
}

int refuseCommandLine(std::ostream& err, const std::string& program, const Result& refusal) {
  err << program << ": " << refusal.reason() << '\n' << std::flush;
  return kWrongCommandLine;
}

std::string versionText() { return formatReal(kVersion); }

std::string versionLine(const std::string& program) { return program + " " + versionText(); }
