// Files written whole or not at all: the bytes go to a temporary file beside
// the target, which replaces the target only once every byte is written. An
// interrupt during the write removes the temporary file.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "platform/result.h"

// Creates a new, empty file with a short name in the folder of target, unique
// to this process, and arms it for removal on an interrupt. Its name does not
// grow with the target's, so every target name that the file system takes
// can be written.
Result createTemporaryBeside(const std::string& target, std::string& temporary);

// Removes a temporary file and disarms it.
void dropTemporary(const std::string& temporary);

// Ends a write through temporary: moves it over target when written
// succeeded, removes it otherwise, and disarms it.
Result finishTemporary(const std::string& temporary, const std::string& target, Result written);

// The same for several written files that belong together (temporary,
// target): they move with no interrupt between them. One result per file: a
// move that failed has the reason, the ones after it an empty one (their
// temporary files are removed).
std::vector<Result> finishTemporaries(
    const std::vector<std::pair<std::string, std::string>>& moves);

// Writes bytes as the whole content of target.
Result writeWholeFile(const std::string& target, const std::string& bytes);
