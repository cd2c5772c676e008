#include "archive/atomic_file.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>

#include "archive/file_naming.h"
#include "platform/platform.h"

Result createTemporaryBeside(const std::string& target, std::string& temporary) {
  static unsigned long made = 0;
  const std::string prefix =
      folderOf(target) + "~zorvik-" + std::to_string(platform::processId()) + "-";
  Result created = Result::failure("no free temporary name");
  for (int attempt = 0; attempt < 100; ++attempt) {
    temporary = prefix + std::to_string(made++) + ".tmp";
    platform::removeOnInterrupt(temporary);
    created = platform::createNewFile(temporary);
    if (created) return created;
    platform::keepOnInterrupt();
  }
  return created;
}

Result finishTemporary(const std::string& temporary, const std::string& target, Result written) {
  const Result replaced =
      written ? platform::replaceFile(temporary, target) : Result::failure(written.reason());
  if (!replaced) std::remove(temporary.c_str());
  platform::keepOnInterrupt();
  if (replaced || !written) return written;
  return Result::failure("cannot replace the file: " + replaced.reason());
}

Result writeWholeFile(const std::string& target, const std::string& bytes) {
  std::string temporary;
  const Result created = createTemporaryBeside(target, temporary);
  if (!created) return Result::failure("cannot create the file: " + created.reason());
  std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  out.close();
  Result written = Result::success();
  if (!out) written = Result::failure(std::string("writing failed: ") + std::strerror(errno));
  return finishTemporary(temporary, target, std::move(written));
}
