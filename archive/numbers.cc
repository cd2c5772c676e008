#include "archive/numbers.h"

#include <charconv>
#include <cmath>
#include <cstring>
#include <limits>
#include <system_error>

namespace {

bool isDigit(char c) { return c >= '0' && c <= '9'; }

std::size_t skipBlankSpace(std::string_view text) {
  std::size_t at = 0;
  while (at < text.size() && isBlankSpace(text[at])) ++at;
  return at;
}

// Parses the number at the start of text into value. from_chars does the
// work; the checks before it keep out what it would take beyond our grammar
// ("inf", "nan", a leading '+').
template <typename T>
std::size_t scanNumber(std::string_view text, T& value, bool real) {
  std::size_t at = 0;
  if (!text.empty() && (text[0] == '+' || text[0] == '-')) at = 1;
  const bool digitFirst = at < text.size() && isDigit(text[at]);
  const bool pointFirst = real && at + 1 < text.size() && text[at] == '.' && isDigit(text[at + 1]);
  if (!digitFirst && !pointFirst) return 0;
  // from_chars takes a '-' itself (so that the lowest int is in range), not a '+'.
  const char* first = text.data() + (text[0] == '+' ? 1 : 0);
  const char* last = text.data() + text.size();
  T parsed{};
  std::from_chars_result result;
  if constexpr (std::is_floating_point_v<T>) {
    result = std::from_chars(first, last, parsed, std::chars_format::general);
  } else {
    result = std::from_chars(first, last, parsed);
  }
  if (result.ec != std::errc()) return 0;
  value = parsed;
  return static_cast<std::size_t>(result.ptr - text.data());
}

template <typename T>
T convertLeading(const std::string& text, bool real) {
  const std::string_view view(text);
  const std::size_t start = skipBlankSpace(view);
  T value{};
  if (scanNumber(view.substr(start), value, real) == 0) return T{};
  return value;
}

}  // namespace

std::size_t scanInt(std::string_view text, int& value) { return scanNumber(text, value, false); }
std::size_t scanDouble(std::string_view text, double& value) {
  return scanNumber(text, value, true);
}

int toInt(const std::string& text) { return convertLeading<int>(text, false); }

float toFloat(const std::string& text) {
  if (text.empty()) return 0.0f;
  return convertLeading<float>(text, true);
}

char* formatReal(double value, char* buffer) { return formatReal(value, kFileDigits, buffer); }

char* formatReal(double value, int digits, char* buffer) {
  // %g with 17 digits needs at most 24 characters ("-1.2345678901234567e+308").
  return std::to_chars(buffer, buffer + 32, value, std::chars_format::general, digits).ptr;
}

double roundedToDigits(double value, int digits) {
  char buffer[32];
  const char* end = formatReal(value, digits, buffer);
  double held = value;
  scanDouble(std::string_view(buffer, static_cast<std::size_t>(end - buffer)), held);
  return held;
}

std::string formatReal(double value) {
  char buffer[32];
  return std::string(buffer, formatReal(value, buffer));
}

char* formatFixed(double value, int decimals, int width, char* buffer) {
  char* end = std::to_chars(buffer, buffer + 400, value, std::chars_format::fixed, decimals).ptr;
  const int length = static_cast<int>(end - buffer);
  if (length >= width) return end;
  // Right-align in the field: move the digits up and fill with blanks.
  std::memmove(buffer + (width - length), buffer, static_cast<std::size_t>(length));
  std::memset(buffer, ' ', static_cast<std::size_t>(width - length));
  return buffer + width;
}

std::string formatFixed(double value, int decimals, int width) {
  char buffer[400];
  return std::string(buffer, formatFixed(value, decimals, width, buffer));
}
