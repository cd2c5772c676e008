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
    if (!platform::removeOnInterrupt(temporary)) {
      return Result::failure("no more files can be guarded against an interrupt");
    }
    created = platform::createNewFile(temporary);
    if (created) return created;
    platform::keepOnInterrupt(temporary);
  }
  return created;
}

void dropTemporary(const std::string& temporary) {
  std::remove(temporary.c_str());
  platform::keepOnInterrupt(temporary);
}

Result finishTemporary(const std::string& temporary, const std::string& target, Result written) {
  if (!written) {
    dropTemporary(temporary);
    return written;
  }
  const Result moved = finishTemporaries({{temporary, target}}).front();
  return moved ? moved : Result::failure("cannot replace the file: " + moved.reason());
}

std::vector<Result> finishTemporaries(
    const std::vector<std::pair<std::string, std::string>>& moves) {
  std::size_t moved = 0;
  const Result replaced = platform::replaceFilesTogether(moves, moved);
  std::vector<Result> results;
  for (std::size_t i = 0; i < moves.size(); ++i) {
    if (i >= moved) std::remove(moves[i].first.c_str());
    platform::keepOnInterrupt(moves[i].first);
    results.push_back(i < moved    ? Result::success()
                      : i == moved ? replaced
                                   : Result::failure(std::string()));
  }
  return results;
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
