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

namespace {

const char kRoundMark[] = "-rr";
const char kShearMark[] = "-shear";
// A counter of up to nine digits fits an int.
const std::size_t kMostCounterDigits = 9;

}  // namespace

RoundFileNames roundFileNames(const std::string& inputName, const std::string& outputFolder,
                              int counter) {
  RoundFileNames names;
  names.mav3 = outputFolder.empty() ? inputName : inFolder(outputFolder, fileNameOf(inputName));
  insertNameSuffix(names.mav3, kRoundMark + std::to_string(counter));
  names.mav4 = names.mav3;
  insertNameSuffix(names.mav4, kShearMark);
  return names;
}

int roundCounterOf(const std::string& fileName, const std::string& inputName, bool& shear) {
  const std::string input = fileNameOf(inputName);
  const std::size_t baseLength = extensionStart(input);
  const std::string head = input.substr(0, baseLength) + kRoundMark;
  const std::string extension = input.substr(baseLength);
  if (fileName.rfind(head, 0) != 0 || fileName.size() < head.size() + extension.size() ||
      fileName.compare(fileName.size() - extension.size(), extension.size(), extension) != 0) {
    return 0;
  }
  std::string counter =
      fileName.substr(head.size(), fileName.size() - head.size() - extension.size());
  const std::size_t markLength = sizeof kShearMark - 1;
  shear = counter.size() > markLength &&
          counter.compare(counter.size() - markLength, markLength, kShearMark) == 0;
  if (shear) counter.resize(counter.size() - markLength);
  if (counter.empty() || counter.size() > kMostCounterDigits || counter[0] == '0' ||
      counter.find_first_not_of("0123456789") != std::string::npos) {
    return 0;
  }
  return std::stoi(counter);
}
