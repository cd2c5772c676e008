#include "console/options.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// A program with one option of each kind, recording what it was given.
struct Recorder {
  std::string value;
  bool flag = false;
  std::vector<OptionSpec> options() {
    return {{"-v", "--value", "V", "a value",
             [this](const std::string& text) {
               if (text == "bad") return Result::failure("Not a value: bad.");
               value = text;
               return Result::success();
             }},
            {"", "--flag", "", "a flag", [this](const std::string&) {
               flag = true;
               return Result::success();
             }}};
  }
};

TEST(OptionsTest, EveryFormOfTheCommandLine) {
  const struct {
    std::vector<std::string> arguments;
    bool numbersAreArguments;
    std::string failure;  // empty: taken
    std::string value;
    bool flag;
    std::vector<std::string> rest;
    bool help;
    bool version;
  } cases[] = {
      {{"-v", "3", "a"}, false, "", "3", false, {"a"}, false, false},
      {{"--value", "3", "a"}, false, "", "3", false, {"a"}, false, false},
      {{"--value=3=4", "a"}, false, "", "3=4", false, {"a"}, false, false},
      {{"--value=", "a"}, false, "", "", false, {"a"}, false, false},
      {{"a", "--flag", "b"}, false, "", "", true, {"a", "b"}, false, false},
      {{"-", "--", "--flag", "-v"}, false, "", "", false, {"-", "--flag", "-v"}, false, false},
      {{"--flag=1"}, false, "The option --flag takes no value.", "", false, {}, false, false},
      {{"-v"}, false, "The option -v needs a value.", "", false, {}, false, false},
      {{"-v=3"},
       false,
       "Unknown option: -v=3. prog --help lists the options.",
       "",
       false,
       {},
       false,
       false},
      {{"-x"},
       false,
       "Unknown option: -x. prog --help lists the options.",
       "",
       false,
       {},
       false,
       false},
      {{"-v", "bad"}, false, "Not a value: bad.", "", false, {}, false, false},
      {{"-90", "-.5"},
       false,
       "Unknown option: -90. prog --help lists the options.",
       "",
       false,
       {},
       false,
       false},
      {{"-90", "-.5", "-v", "1"}, true, "", "1", false, {"-90", "-.5"}, false, false},
      {{"-x", "--help"}, false, "", "", false, {}, true, false},
      {{"-v", "bad", "--version"}, false, "", "", false, {}, false, true},
      {{"--", "--help"}, false, "", "", false, {"--help"}, false, false},
  };
  for (const auto& c : cases) {
    Recorder recorder;
    ParsedCommandLine parsed;
    const Result result = parseCommandLine(c.arguments, recorder.options(),
                                           CommandLineRules{"prog", c.numbersAreArguments}, parsed);
    const std::string label = c.arguments.front() + " ...";
    EXPECT_EQ(result.reason(), c.failure) << label;
    if (!result) continue;
    EXPECT_EQ(recorder.value, c.value) << label;
    EXPECT_EQ(recorder.flag, c.flag) << label;
    EXPECT_EQ(parsed.arguments, c.rest) << label;
    EXPECT_EQ(parsed.help, c.help) << label;
    EXPECT_EQ(parsed.version, c.version) << label;
  }
}

TEST(OptionsTest, UsageListsEveryOptionAtOneColumn) {
  Recorder recorder;
  std::vector<OptionSpec> options = recorder.options();
  options.push_back({"", "--a-very-long-option", "WITH:A:VALUE", "first line\nsecond line", {}});
  EXPECT_EQ(optionsText(options),
            "  -v, --value V              a value\n"
            "      --flag                 a flag\n"
            "      --a-very-long-option WITH:A:VALUE\n"
            "                             first line\n"
            "                             second line\n"
            "  -h, --help                 this text\n"
            "      --version              the version\n"
            "  --                         ends the options: a file name may begin with '-'\n");
}

TEST(OptionsTest, ExitCodesAreOneParagraphWrappedAt79Columns) {
  EXPECT_EQ(exitCodesText("every file was written", "some were not"),
            "Exit code: 0 when every file was written, 1 when some were not, 2 for a wrong\n"
            "command line.\n");
  EXPECT_EQ(exitCodesText("every file was analysed", "some were not or an output was not written",
                          "files of different units"),
            "Exit code: 0 when every file was analysed, 1 when some were not or an output\n"
            "was not written, 2 for a wrong command line or files of different units.\n");
  EXPECT_EQ(noSectionFileGiven("prog").reason(),
            "No section file given. prog --help lists the options.");
}

}  // namespace
