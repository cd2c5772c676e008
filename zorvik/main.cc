// zorvik: rounds the corners of a thin-walled section given as a KAF file.
#include <iostream>

#include "console/console.h"
#include "platform/platform.h"
#include "zorvik/entry.h"

int main(int argc, char** argv) {
  platform::keepFreedMemoryForReuse();
  return runGuarded(
      "zorvik",
      [](int count, char** arguments) {
        return runProgram(count, arguments, Console::standard(), std::cerr);
      },
      argc, argv);
}
