// zorvik-view: section properties side by side, and a picture.
#include <string>
#include <vector>

#include "console/console.h"
#include "view/view_run.h"

int main(int argc, char** argv) {
  return runGuarded(
      "zorvik-view",
      [](int count, char** arguments) {
        return runView(
            std::vector<std::string>(arguments + (count > 0 ? 1 : 0), arguments + count));
      },
      argc, argv);
}
