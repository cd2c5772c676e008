#include "archive/atomic_file.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>

#include "archive/file_naming.h"
#include "platform/platform.h"

bool createTemporaryBeside(const std::string& target, std::string& temporary, std::string& error) {
  static unsigned long made = 0;
  const std::string prefix =
      folderOf(target) + "~zorvik-" + std::to_string(platform::processId()) + "-";
  for (int attempt = 0; attempt < 100; ++attempt) {
    temporary = prefix + std::to_string(made++) + ".tmp";
    platform::removeOnInterrupt(temporary);
    if (platform::createNewFile(temporary, &error)) return true;
    platform::keepOnInterrupt();
  }
  return false;
}

Result finishTemporary(const std::string& temporary, const std::string& target, Result written) {
  std::string error;
  const bool replaced = written && platform::replaceFile(temporary, target, &error);
  if (!replaced) std::remove(temporary.c_str());
  platform::keepOnInterrupt();
  if (replaced || !written) return written;
  return Result::failure("cannot replace the file: " + error);
}

Result writeWholeFile(const std::string& target, const std::string& bytes) {
  std::string temporary;
  std::string error;
  if (!createTemporaryBeside(target, temporary, error)) {
    return Result::failure("cannot create the file: " + error);
  }
  std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  out.close();
  Result written = Result::success();
  if (!out) written = Result::failure(std::string("writing failed: ") + std::strerror(errno));
  return finishTemporary(temporary, target, std::move(written));
}
