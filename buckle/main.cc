// zorvik-buckle: buckling signature curves of sections side by side.
#include <iostream>
#include <string>
#include <vector>

#include "buckle/buckle_run.h"
#include "console/console.h"

int main(int argc, char** argv) {
  return runGuarded(
      "zorvik-buckle",
      [](int count, char** arguments) {
        return runBuckle(
            std::vector<std::string>(arguments + (count > 0 ? 1 : 0), arguments + count), std::cout,
            std::cerr);
      },
      argc, argv);
}
