#include "archive/file_naming.h"

namespace {

// Where the file name of path begins: after the drive ("C:") and the last
// directory separator.
std::size_t nameStart(const std::string& path) {
  const std::size_t driveEnd = path.size() >= 2 && path[1] == ':' ? 2 : 0;
  const std::size_t lastSeparator = path.find_last_of("\\/");
  return lastSeparator == std::string::npos || lastSeparator < driveEnd ? driveEnd
                                                                        : lastSeparator + 1;
}

// Where the extension of path begins (path.size() when it has none): the last
// point after the drive ("C:") and the last directory separator.
std::size_t extensionStart(const std::string& path) {
  const std::size_t lastPoint = path.find_last_of('.');
  return lastPoint == std::string::npos || lastPoint < nameStart(path) ? path.size() : lastPoint;
}

}  // namespace

void insertNameSuffix(std::string& path, const std::string& suffix) {
  path.insert(extensionStart(path), suffix);
}

std::string withExtension(const std::string& path, const std::string& extension) {
  return path.substr(0, extensionStart(path)) + extension;
}

std::string folderOf(const std::string& path) { return path.substr(0, nameStart(path)); }

std::string fileNameOf(const std::string& path) { return path.substr(nameStart(path)); }

std::string inFolder(const std::string& folder, const std::string& name) {
  if (folder.empty() || folder.back() == '/' || folder.back() == '\\' || folder.back() == ':') {
    return folder + name;
  }
  return folder + "/" + name;
}
