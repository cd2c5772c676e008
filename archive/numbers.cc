#include "archive/numbers.h"

#include <charconv>
#include <cmath>
#include <limits>
#include <system_error>

namespace {

bool isDigit(char c) { return c >= '0' && c <= '9'; }

std::size_t digitsFrom(std::string_view text, std::size_t at) {
  std::size_t end = at;
  while (end < text.size() && isDigit(text[end])) ++end;
  return end - at;
}

std::size_t skipBlankSpace(std::string_view text) {
  std::size_t at = 0;
  while (at < text.size() && isBlankSpace(text[at])) ++at;
  return at;
}

// Parses a prefix of text into a value of type T; the sign is handled here
// because from_chars refuses a leading '+'.
template <typename T>
std::size_t scanNumber(std::string_view text, T& value, bool real) {
  const std::size_t length = numberPrefixLength(text, real);
  if (length == 0) return 0;
  std::size_t at = 0;
  bool negative = false;
  if (text[0] == '+' || text[0] == '-') {
    negative = text[0] == '-';
    at = 1;
  }
  const char* first = text.data() + at;
  const char* last = text.data() + length;
  T parsed{};
  std::from_chars_result result;
  if constexpr (std::is_floating_point_v<T>) {
    result = std::from_chars(first, last, parsed, std::chars_format::general);
  } else {
    // Parse as 64-bit so that -2147483648 is in range.
    long long wide = 0;
    result = std::from_chars(first, last, wide);
    if (result.ec == std::errc()) {
      if (negative) wide = -wide;
      if (wide < std::numeric_limits<T>::min() || wide > std::numeric_limits<T>::max()) return 0;
      value = static_cast<T>(wide);
      return length;
    }
  }
  if (result.ec != std::errc() || result.ptr != last) return 0;
  value = negative ? -parsed : parsed;
  return length;
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

std::size_t numberPrefixLength(std::string_view text, bool real) {
  std::size_t at = 0;
  if (at < text.size() && (text[at] == '+' || text[at] == '-')) ++at;
  const std::size_t whole = digitsFrom(text, at);
  at += whole;
  std::size_t fraction = 0;
  if (real && at < text.size() && text[at] == '.') {
    fraction = digitsFrom(text, at + 1);
    if (whole > 0 || fraction > 0) at += 1 + fraction;
  }
  if (whole == 0 && fraction == 0) return 0;
  if (real && at < text.size() && (text[at] == 'e' || text[at] == 'E')) {
    std::size_t exponentAt = at + 1;
    if (exponentAt < text.size() && (text[exponentAt] == '+' || text[exponentAt] == '-')) {
      ++exponentAt;
    }
    const std::size_t exponentDigits = digitsFrom(text, exponentAt);
    if (exponentDigits > 0) at = exponentAt + exponentDigits;
  }
  return at;
}

std::size_t scanInt(std::string_view text, int& value) { return scanNumber(text, value, false); }
std::size_t scanDouble(std::string_view text, double& value) {
  return scanNumber(text, value, true);
}
std::size_t scanFloat(std::string_view text, float& value) {
  return scanNumber(text, value, true);
}

int toInt(const std::string& text) { return convertLeading<int>(text, false); }

double toDouble(const std::string& text) {
  if (text.empty()) return 0.0;
  return convertLeading<double>(text, true);
}

float toFloat(const std::string& text) {
  if (text.empty()) return 0.0f;
  return convertLeading<float>(text, true);
}

std::string formatReal(double value) {
  char buffer[64];
  const auto result =
      std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, 6);
  return std::string(buffer, result.ptr);
}

std::string formatFixed(double value, int decimals, int width) {
  char buffer[400];
  const auto result =
      std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, decimals);
  std::string text(buffer, result.ptr);
  if (static_cast<int>(text.size()) < width) text.insert(0, width - text.size(), ' ');
  return text;
}
