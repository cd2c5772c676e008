#include "console/value_rules.h"

#include <cmath>
#include <limits>

#include "archive/numbers.h"
#include "section/plate_geometry.h"

std::optional<double> parseNumber(const std::string& text) {
  double value = 0;
  if (text.empty() || scanDouble(text, value) != text.size()) return std::nullopt;
  return value;
}

std::optional<int> parseWholeNumber(const std::string& text) {
  int value = 0;
  if (text.empty() || scanInt(text, value) != text.size()) return std::nullopt;
  return value;
}

int truncateToInt(double value) {
  if (!(value > std::numeric_limits<int>::min() - 1.0)) return std::numeric_limits<int>::min();
  if (!(value < std::numeric_limits<int>::max() + 1.0)) return std::numeric_limits<int>::max();
  return static_cast<int>(value);
}

std::optional<double> checkPositive(const std::string& text) {
  const std::optional<double> value = parseNumber(text);
  if (!value || !(*value > 0)) return std::nullopt;
  return value;
}

std::optional<double> checkThickness(const std::string& text, double E, double MUE) {
  const std::optional<double> t = parseNumber(text);
  if (!t || !thicknessFits(*t, E, MUE)) return std::nullopt;
  return t;
}

std::optional<int> checkRadiusCount(const std::string& text) {
  const std::optional<int> count = parseWholeNumber(text);
  if (!count || *count < 0 || *count > kMostRadii) return std::nullopt;
  return count;
}

std::optional<bool> checkConvex(const std::string& text) {
  if (!parseNumber(text)) return std::nullopt;
  return toInt(text) == 0;
}

std::optional<int> checkElementsPerCorner(const std::string& text) {
  const std::optional<double> n = parseNumber(text);
  if (!n || *n < 0) return std::nullopt;
  return truncateToInt(*n);
}

std::optional<int> checkSubdivide(const std::string& text) {
  const std::optional<double> answer = parseNumber(text);
  if (!answer) return std::nullopt;
  const int truncated = truncateToInt(*answer);
  if (truncated != 0 && truncated != 1) return std::nullopt;
  return truncated;
}

std::optional<double> checkRadius(const std::string& text) { return checkPositive(text); }

std::optional<double> checkDimension(const std::string& text) { return checkPositive(text); }

bool isRadiusRange(double first, double last) { return first > 0 && first < last; }

std::optional<int> checkDivisionNumber(const std::string& text) {
  const std::optional<int> d = parseWholeNumber(text);
  if (!d || *d < 1) return std::nullopt;
  return d;
}

std::string notAThickness(const std::string& text) {
  return " Not a thickness: " + text + ". Type a number above 0, such as 2.5";
}

std::string notARadiusCount(const std::string& text) {
  return " Not a number of radii: " + text + ". Type a whole number from 1 to " +
         std::to_string(kMostRadii) + ", or 0 to stop.";
}

std::string notConvexOrConcave(const std::string& text) {
  return " Not an answer: " + text + ". Type 0 for convex or 1 for concave.";
}

std::string notElementsPerCorner(const std::string& text) {
  return " Not a number of elements: " + text + ". Type a whole number, 0 for no rounding.";
}

std::string notSubdivide(const std::string& text) {
  return " Not an answer: " + text + ". Type 1 to subdivide the plates, or 0.";
}

std::string notARadius(const std::string& text) {
  return " Not a radius: " + text + ". Type a number above 0, such as 2.5.";
}

std::string notARangeToken(const std::string& text) {
  return " Not a radius: " + text + ". Type the first and the last radius, such as 2 4.";
}

std::string notARange(const std::string& first, const std::string& last) {
  return " Not a range of radii: " + first + " to " + last +
         ". The first must be above 0 and below the last.";
}

std::string notADivisionNumber(int plate, const std::string& text) {
  return " Not a division number for plate " + std::to_string(plate) + ": " + text +
         ". Type a whole number from 1 up.";
}

std::string notADimension(const std::string& text, const std::string& name) {
  return "Not a dimension: " + text + " for " + name + ". Type a number above 0, such as 75.";
}
