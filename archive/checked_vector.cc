#include "archive/checked_vector.h"

#include <cstdio>
#include <stdexcept>

#include "platform/platform.h"

namespace {

bool askThePlatform(const char* caption, const char* message) {
  return platform::askRetryOrCancel(caption, message);
}

IndexPrompt currentPrompt = askThePlatform;

}  // namespace

IndexPrompt setIndexPrompt(IndexPrompt prompt) {
  const IndexPrompt previous = currentPrompt;
  currentPrompt = prompt;
  return previous;
}

bool reportBadIndex(int i, int n) {
  char message[256];
  std::snprintf(message, sizeof message,
                "Vektorindex %d, erlaubt nur bis %d\nWeitermachen auf eigene Gefahr!!\n"
                "Am besten gleich abspeichern und raus.",
                i, n - 1);
  const bool retry = currentPrompt("Absturz", message);
  // Without an element to fall back on, Retry can only mean stop.
  if (!retry || n <= 0) throw std::out_of_range("invalid vector<T> subscript");
  return true;
}
