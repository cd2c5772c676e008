// zorvik-make: a section file from catalogue dimensions.
#include <iostream>
#include <string>
#include <vector>

#include "console/console.h"
#include "make/make_run.h"

int main(int argc, char** argv) {
  return runGuarded(
      "zorvik-make",
      [](int count, char** arguments) {
        return runMake(std::vector<std::string>(arguments + (count > 0 ? 1 : 0), arguments + count),
                       std::cout, std::cerr);
      },
      argc, argv);
}
