// The command line of every program: each program declares its options as a
// table, and one parser reads "--name value", "--name=value", short forms
// ("-t 3"), "--" (the end of the options) and a lone "-" (an argument).
// "-h", "--help" and "--version" are known to every program; the usage text
// lists the options from the same table.
#pragma once

#include <functional>
#include <iosfwd>
#include <string>
#include <vector>

#include "platform/result.h"

// The exit code of a command line that cannot be taken.
const int kWrongCommandLine = 2;

struct OptionSpec {
  std::string shortName;  // "-t", or empty
  std::string longName;   // "--thickness", or empty
  std::string valueName;  // "T"; empty for an option without a value
  std::string help;       // the usage text's lines for it, separated by '\n'
  // Takes the value (empty for an option without one); a failure is the
  // line that says why the value cannot be taken.
  std::function<Result(const std::string& value)> take;
};

// Takers for the common cases: the value as it is, a file name (refused
// when empty: "The option --csv needs a file name, or - for standard
// output."), and an option without a value that sets a flag.
std::function<Result(const std::string&)> storeText(std::string& target);
std::function<Result(const std::string&)> storeFileName(std::string& target,
                                                        const std::string& option,
                                                        bool standardOutputToo);
std::function<Result(const std::string&)> setFlag(bool& target, bool value = true);

struct CommandLineRules {
  std::string program;  // "zorvik", in messages
  // An argument such as "-90" or "-.5" is a number, not an option.
  bool negativeNumbersAreArguments = false;
};

struct ParsedCommandLine {
  bool help = false;
  bool version = false;
  std::vector<std::string> arguments;  // the words that are not options, in order
};

// True when the argument is read as an option ("-" alone is not one).
bool isOption(const std::string& argument, const CommandLineRules& rules);

// Reads the arguments: help and version are found first (before "--"), so
// that "-h -x" shows the help; otherwise every option is taken in order.
Result parseCommandLine(const std::vector<std::string>& arguments,
                        const std::vector<OptionSpec>& options, const CommandLineRules& rules,
                        ParsedCommandLine& parsed);

// The options part of a usage text: one entry per option, its help beside
// it at a common column; help, version and "--" last.
std::string optionsText(const std::vector<OptionSpec>& options);

// The closing paragraph of a usage text: "Exit code: 0 when DONE, 1 when
// NOT DONE, 2 for a wrong command line" (" or ALSO" after it when also is
// given), wrapped at 79 columns.
std::string exitCodesText(const std::string& done, const std::string& notDone,
                          const std::string& also = std::string());

// "PROGRAM --help lists the options.", which ends every refusal that a look
// at the options may mend.
std::string helpHint(const std::string& program);

// The refusal of a command line that names no section file.
Result noSectionFileGiven(const std::string& program);

// "PROGRAM: reason" on err; returns kWrongCommandLine.
int refuseCommandLine(std::ostream& err, const std::string& program, const Result& refusal);

// The product's version, "0.64", and the line that --version prints.
std::string versionText();
std::string versionLine(const std::string& program);
