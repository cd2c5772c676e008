// zorvik: rounds the corners of a thin-walled section given as a KAF file.
#include <iostream>
#include <stdexcept>

#include "app/console_input.h"
#include "app/entry.h"
#include "platform/platform.h"

int main(int argc, char** argv) {
  platform::keepFreedMemoryForReuse();
  try {
    return runProgram(argc, argv, Console::standard(), std::cerr);
  } catch (const std::out_of_range&) {
    // Raised only when the user cancels the index message of a section list.
    std::cerr << "zorvik stopped on an internal index error; no further file was saved.\n";
    return 1;
  }
}
