// Helpers for tests that work on real files in a fresh temporary directory.
#pragma once

#include <filesystem>
#include <string>

// A directory of its own for one test, removed with everything in it.
class TemporaryDirectory {
 public:
  TemporaryDirectory();
  ~TemporaryDirectory();
  TemporaryDirectory(const TemporaryDirectory&) = delete;
  TemporaryDirectory& operator=(const TemporaryDirectory&) = delete;

  std::string path(const std::string& name) const { return (root_ / name).string(); }
  const std::filesystem::path& root() const { return root_; }

 private:
  std::filesystem::path root_;
};

std::string readFile(const std::string& path);
void writeFile(const std::string& path, const std::string& bytes);
// A file of the test data folder.
std::string testDataPath(const std::string& name);
