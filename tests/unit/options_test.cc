#include "console/options.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "report/property_table.h"
#include "rounding/generation.h"
#include "tests/unit/test_sections.h"

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

TEST(RadiusSeriesTest, CountsStepsAndTheLastRadius) {
  const struct {
    double first, last;
    int count;
    std::vector<double> radii;
  } cases[] = {
      {2, 4, 3, {2, 3, 4}},
      {2, 2, 1, {2}},
      {0.1,
       0.3,
       3,
       {0.1, 0.1 + 0.09999999999999999, 0.1 + 0.09999999999999999 + 0.09999999999999999}},
      {1,
       2,
       11,
       {1, 1.1, 1.2000000000000002, 1.3000000000000003, 1.4000000000000004, 1.5000000000000004,
        1.6000000000000005, 1.7000000000000006, 1.8000000000000007, 1.9000000000000008,
        2.000000000000001}},
      {4, 2, 3, {}},  // a step below 0 gives none
      {1e17, 1e17 + 64, 3, {1e17, 1e17 + 32, 1e17 + 64}},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(radiusSeries(c.first, c.last, c.count), c.radii) << c.first << " " << c.count;
  }
  // A step too small to move the radius ends the series instead of looping.
  EXPECT_EQ(radiusSeries(1e17, 1e17 + 64, 1000).size(), 1u);
}

// Splits CSV text (RFC 4180, CR LF) into rows of fields.
std::vector<std::vector<std::string>> parseCsv(const std::string& text) {
  std::vector<std::vector<std::string>> rows(1, std::vector<std::string>(1));
  bool quoted = false;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    std::string& field = rows.back().back();
    if (quoted) {
      if (c == '"' && i + 1 < text.size() && text[i + 1] == '"') {
        field += '"';
        ++i;
      } else if (c == '"') {
        quoted = false;
      } else {
        field += c;
      }
    } else if (c == '"') {
      quoted = true;
    } else if (c == ',') {
      rows.back().emplace_back();
    } else if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
      ++i;
      rows.emplace_back(1);
    } else {
      field += c;
    }
  }
  rows.pop_back();  // after the last CR LF
  return rows;
}

TEST(PropertyCsvTest, ParsesBackToTheSameNamesAndNumbers) {
  const CrossSection open = chain({50, 100, 50}, {0, 90, 180});
  std::vector<PropertyColumn> columns = {
      {"plain.kaf", &open, computeProperties(open)},
      {"a \"quoted\", name\r\n.kaf", &open, computeProperties(open)}};
  const std::vector<std::vector<std::string>> rows = parseCsv(propertyCsv(columns));
  ASSERT_EQ(rows.size(), 3u);
  EXPECT_EQ(rows[0].front(), "file");
  EXPECT_EQ(rows[0][1], "A [mm^2]");
  for (std::size_t r = 1; r < rows.size(); ++r) {
    ASSERT_EQ(rows[r].size(), rows[0].size()) << r;
    EXPECT_EQ(rows[r][0], columns[r - 1].name);
  }
  // 17 significant digits read back to the same double.
  EXPECT_EQ(std::stod(rows[1][1]), columns[0].properties.area);
  EXPECT_EQ(std::stod(rows[1][7]), columns[0].properties.I1);
  EXPECT_EQ(std::stod(rows[2][13]), columns[1].properties.Iw);
  EXPECT_EQ(csvField("plain"), "plain");
  EXPECT_EQ(csvField("a,b"), "\"a,b\"");
}

}  // namespace
