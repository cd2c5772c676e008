// libFuzzer target: zorvik-buckle as the engineer runs it, on any bytes. The
// first line holds the options (separated by blanks), the rest is a section
// file. Whatever they hold, the run ends with exit code 0, 1 or 2, prints no
// NaN or infinity as a value, leaves the file as it was and writes nothing
// beside it: every output goes to standard output or nowhere. Options that
// would make one run take minutes (thousands of strips, terms or lengths)
// are left out, as are outputs to named files.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "archive/checked_vector.h"
#include "buckle/buckle_run.h"
#include "fuzz/fuzz_expect.h"

namespace {

bool indexMessageIsAFault(const char*, const char*) {
  expect(false, "the index message of a section list was reached");
  return false;
}

const std::filesystem::path& scratchFolder() {
  static const std::filesystem::path folder = [] {
    std::random_device seed;
    auto path = std::filesystem::temp_directory_path() /
                ("zorvik-fuzz-buckle-" + std::to_string(seed()) + std::to_string(seed()));
    std::filesystem::create_directories(path);
    return path;
  }();
  return folder;
}

std::vector<std::string> words(const std::string& line) {
  std::vector<std::string> result;
  std::istringstream in(line);
  for (std::string word; in >> word;) result.push_back(word);
  return result;
}

// How many values a list or FIRST:LAST:COUNT option asks for, roughly.
long countOf(const std::string& value) {
  const std::size_t colon = value.rfind(':');
  if (colon != std::string::npos) return std::atol(value.c_str() + colon + 1);
  long commas = 1;
  for (char c : value) commas += c == ',';
  return commas;
}

bool isOutputOption(const std::string& name) {
  static const char* const outputs[] = {"--csv", "--table-csv", "--svg", "--modes-csv",
                                        "--modes-svg"};
  for (const char* output : outputs) {
    if (name == output) return true;
  }
  return false;
}

// The options to run: heavy ones make the input uninteresting (false), named
// output files are dropped, and the picture is never drawn.
bool runnableOptions(const std::vector<std::string>& given, std::vector<std::string>& options) {
  for (std::size_t i = 0; i < given.size(); ++i) {
    std::string name = given[i], value;
    const std::size_t equals = name.rfind("--", 0) == 0 ? name.find('=') : std::string::npos;
    const bool joined = equals != std::string::npos;
    if (joined) {
      value = name.substr(equals + 1);
      name = name.substr(0, equals);
    } else if (i + 1 < given.size()) {
      value = given[i + 1];
    }
    if (name == "--strips" || name == "--terms") {
      if (std::atol(value.c_str()) > 8 || value.size() > 3) return false;
    }
    if (name == "--lengths" || name == "--member" || name == "--modes-at") {
      if (countOf(value) > 12) return false;
    }
    if (isOutputOption(name)) {
      if (value == "-" && name.find("csv") != std::string::npos) {
        options.push_back(name + "=-");
      }
      if (!joined) ++i;
      continue;
    }
    options.push_back(given[i]);
  }
  options.push_back("--no-picture");
  return true;
}

std::string fileBytes(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  setIndexPrompt(indexMessageIsAFault);
  const std::string input(reinterpret_cast<const char*>(data), size);
  const std::size_t lineEnd = input.find('\n');
  if (lineEnd == std::string::npos) return 0;
  std::vector<std::string> arguments;
  if (!runnableOptions(words(input.substr(0, lineEnd)), arguments)) return 0;
  const std::string section = input.substr(lineEnd + 1);
  const std::filesystem::path folder = scratchFolder();
  const std::filesystem::path file = folder / "f.kaf";
  std::filesystem::remove_all(folder);
  std::filesystem::create_directories(folder);
  std::ofstream(file, std::ios::binary) << section;
  arguments.push_back(file.string());

  std::ostringstream out, err;
  const int code = runBuckle(arguments, out, err);
  expect(code == 0 || code == 1 || code == 2, "an exit code other than 0, 1 or 2");
  static const std::regex notANumber("(^|[\\s,=(])-?(nan|inf)($|[\\s,)])",
                                     std::regex::icase | std::regex::multiline);
  expect(!std::regex_search(out.str(), notANumber), "a NaN or an infinity on standard output");
  expect(!std::regex_search(err.str(), notANumber), "a NaN or an infinity on standard error");
  expect(fileBytes(file) == section, "the section file was changed");
  std::size_t entries = 0;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) {
    (void)entry;
    ++entries;
  }
  expect(entries == 1, "a file was written beside the section");
  return 0;
}
