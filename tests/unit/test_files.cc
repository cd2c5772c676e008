#include "tests/unit/test_files.h"

#include <fstream>
#include <iterator>
#include <random>

TemporaryDirectory::TemporaryDirectory() {
  std::random_device seed;
  std::mt19937_64 random(seed());
  const auto base = std::filesystem::temp_directory_path();
  do {
    root_ = base / ("zorvik-test-" + std::to_string(random()));
  } while (!std::filesystem::create_directory(root_));
}

TemporaryDirectory::~TemporaryDirectory() {
  std::error_code ignored;
  std::filesystem::remove_all(root_, ignored);
}

std::string readFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void writeFile(const std::string& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << bytes;
}

std::string testDataPath(const std::string& name) {
  return std::string(ZORVIK_TEST_DATA) + "/" + name;
}
