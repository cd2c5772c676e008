#include "app/answer_checks.h"

#include <cmath>
#include <limits>

#include "archive/numbers.h"

std::optional<double> wholeNumberText(const std::string& text) {
  double value = 0;
  if (text.empty() || scanDouble(text, value) != text.size()) return std::nullopt;
  return value;
}

std::optional<int> wholeIntegerText(const std::string& text) {
  int value = 0;
  if (text.empty() || scanInt(text, value) != text.size()) return std::nullopt;
  return value;
}

int truncateToInt(double value) {
  if (!(value > std::numeric_limits<int>::min() - 1.0)) return std::numeric_limits<int>::min();
  if (!(value < std::numeric_limits<int>::max() + 1.0)) return std::numeric_limits<int>::max();
  return static_cast<int>(value);
}

std::optional<double> checkThickness(const std::string& text, double E, double MUE) {
  const std::optional<double> t = wholeNumberText(text);
  if (!t || !(*t > 0)) return std::nullopt;
  const double stiffness = *t * *t * *t * E / (12 * (1 - MUE * MUE));
  if (!std::isfinite(stiffness)) return std::nullopt;
  return t;
}

std::optional<int> checkRadiusCount(const std::string& text) {
  const std::optional<int> count = wholeIntegerText(text);
  if (!count || *count < 0 || *count > kMostRadii) return std::nullopt;
  return count;
}

std::optional<bool> checkConvex(const std::string& text) {
  if (!wholeNumberText(text)) return std::nullopt;
  return toInt(text) == 0;
}

std::optional<int> checkElementsPerCorner(const std::string& text) {
  const std::optional<double> n = wholeNumberText(text);
  if (!n || *n < 0) return std::nullopt;
  return truncateToInt(*n);
}

std::optional<int> checkSubdivide(const std::string& text) {
  const std::optional<double> answer = wholeNumberText(text);
  if (!answer) return std::nullopt;
  const int truncated = truncateToInt(*answer);
  if (truncated != 0 && truncated != 1) return std::nullopt;
  return truncated;
}

std::optional<double> checkRadius(const std::string& text) {
  const std::optional<double> radius = wholeNumberText(text);
  if (!radius || !(*radius > 0)) return std::nullopt;
  return radius;
}

std::optional<int> checkDivisionNumber(const std::string& text) {
  const std::optional<int> d = wholeIntegerText(text);
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
