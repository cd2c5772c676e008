#include "app/file_naming.h"

void insertNameSuffix(std::string& path, const std::string& suffix) {
  // Drive ("C:"), directory (up to the last separator), base name, extension.
  const std::size_t driveEnd = path.size() >= 2 && path[1] == ':' ? 2 : 0;
  const std::size_t lastSeparator = path.find_last_of("\\/");
  const std::size_t nameStart =
      lastSeparator == std::string::npos || lastSeparator < driveEnd ? driveEnd
                                                                     : lastSeparator + 1;
  const std::size_t lastPoint = path.find_last_of('.');
  const std::size_t extensionStart =
      lastPoint == std::string::npos || lastPoint < nameStart ? path.size() : lastPoint;
  path.insert(extensionStart, suffix);
}
