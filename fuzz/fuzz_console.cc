// Fuzz target over the console: any bytes as keyboard input and answers,
// through readAnswer, the numeric reads of standard input and the
// conversions of answers into numbers.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <sstream>
#include <string>

#include "console/console.h"
#include "console/value_rules.h"
#include "fuzz/fuzz_expect.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  std::istringstream in(bytes);
  std::ostringstream out;
  Console console(in, out, false);
  for (int round = 0; round < 8; ++round) {
    const std::string answer = console.readAnswer();
    expect(answer.find_first_of("\r\t ") == std::string::npos, "an answer holds its end key");
    const std::optional<double> number = parseNumber(answer);
    expect(!number || std::isfinite(*number), "parseNumber gave a non-finite number");
    expect(std::isfinite(toFloat(answer)), "toFloat gave a non-finite number");
    // An integer answer converts the same either way ("5e999" is 5 as an
    // integer but out of range as a real, so only plain integers compare).
    const int whole = toInt(answer);
    if (!answer.empty() && answer.find_first_not_of("0123456789") == std::string::npos &&
        answer.size() < 10) {
      expect(number && *number == whole, "toInt and parseNumber disagree on an integer");
    }
    expect(answer.find_first_of("\b\x7f") == std::string::npos, "an answer holds a backspace");
    std::string token;
    if (round % 2 == 0 && console.readToken(token)) {
      expect(!token.empty() && token.find_first_of(" \t\r\n") == std::string::npos,
             "a token holds its end");
      double radius = 1;
      const Result taken = checkRadius(token, radius);
      expect(std::isfinite(radius) && radius > 0, "a radius taken is unusable");
      if (!taken) console.dropRestOfLine();
    }
  }
  // Each key echoes once, a key taken back as three ("\b \b").
  expect(out.str().size() <= 3 * bytes.size() + 8, "more echo than keys");
  return 0;
}
