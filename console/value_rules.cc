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

std::optional<double> parsePositive(const std::string& text) {
  const std::optional<double> value = parseNumber(text);
  if (!value || !(*value > 0)) return std::nullopt;
  return value;
}

int truncateToInt(double value) {
  if (!(value > std::numeric_limits<int>::min() - 1.0)) return std::numeric_limits<int>::min();
  if (!(value < std::numeric_limits<int>::max() + 1.0)) return std::numeric_limits<int>::max();
  return static_cast<int>(value);
}

namespace {

// value into target when there is one, else the refusal.
template <typename T, typename U>
Result taken(const std::optional<U>& value, T& target, const std::string& refusal) {
  if (!value) return Result::refused(refusal);
  target = static_cast<T>(*value);
  return Result::success();
}

std::string notAThickness(const std::string& text) {
  return "Not a thickness: " + text + ". Type a number above 0, such as 2.5.";
}

}  // namespace

Result checkThickness(const std::string& text, double& thickness) {
  return taken(parsePositive(text), thickness, notAThickness(text));
}

Result checkThickness(const std::string& text, double E, double MUE, double& thickness) {
  const std::optional<double> t = parsePositive(text);
  if (!t) return Result::refused(notAThickness(text));
  if (!thicknessFits(*t, E, MUE)) {
    const bool tooLarge = !std::isfinite(plateStiffness(*t, E, MUE));
    return Result::refused("Not a thickness for this material: " + text +
                           (tooLarge ? " gives a plate stiffness that is not finite."
                                     : " gives a plate stiffness too small to compute with."));
  }
  thickness = *t;
  return Result::success();
}

Result checkRadiusCount(const std::string& text, int& count) {
  std::optional<int> n = parseWholeNumber(text);
  if (n && (*n < 0 || *n > kMostRadii)) n.reset();
  return taken(n, count,
               "Not a number of radii: " + text + ". Type a whole number from 1 to " +
                   std::to_string(kMostRadii) + ", or 0 to stop.");
}

namespace {

// The answer of a question that takes the key 0 or the key 1.
std::optional<int> zeroOrOne(const std::string& text) {
  if (text == "0") return 0;
  if (text == "1") return 1;
  return std::nullopt;
}

}  // namespace

Result checkConvex(const std::string& text, bool& convex) {
  const std::optional<int> answer = zeroOrOne(text);
  return taken(answer ? std::optional<bool>(*answer == 0) : std::nullopt, convex,
               "Not an answer: " + text + ". Type 0 for convex or 1 for concave.");
}

Result checkElementsPerCorner(const std::string& text, int& count) {
  std::optional<int> n = parseWholeNumber(text);
  if (n && *n < 0) n.reset();
  return taken(n, count, "Not a number of elements: " + text + ". Type a whole number from 0 up.");
}

Result checkSubdivide(const std::string& text, int& answer) {
  return taken(zeroOrOne(text), answer,
               "Not an answer: " + text + ". Type 1 to subdivide the plates, or 0.");
}

Result checkRadius(const std::string& text, double& radius) {
  return taken(parsePositive(text), radius,
               "Not a radius: " + text + ". Type a number above 0, such as 2.5.");
}

Result checkFirstRadius(const std::string& text, double& radius) {
  if (!parseNumber(text)) return checkRangeEnd(text, radius);
  return taken(parsePositive(text), radius,
               "Not a first radius: " + text +
                   ". Type the first and the last radius, the first above 0, such as 2 4.");
}

Result checkRangeEnd(const std::string& text, double& radius) {
  return taken(parseNumber(text), radius,
               "Not a radius: " + text + ". Type the first and the last radius, such as 2 4.");
}

Result checkRadiusRange(const std::string& firstText, const std::string& lastText, double first,
                        double last) {
  if (first > 0 && first < last) return Result::success();
  return Result::refused("Not a range of radii: " + firstText + " to " + lastText +
                         ". The first must be above 0 and below the last.");
}

Result checkWholeFromOne(const std::string& text, const std::string& what, int& count) {
  std::optional<int> n = parseWholeNumber(text);
  if (n && *n < 1) n.reset();
  return taken(n, count, "Not " + what + ": " + text + ". Type a whole number from 1 up.");
}

Result checkDimension(const std::string& text, const std::string& name, double& value) {
  return taken(
      parsePositive(text), value,
      "Not a dimension: " + text + " for " + name + ". Type a number above 0, such as 75.");
}

std::string withReturnAdvice(const Result& refusal, const std::string& whatReturnDoes) {
  std::string text = refusal.reason();
  if (text.find(" Type ") == std::string::npos) {
    return text + " Type another, or Return to " + whatReturnDoes + ".";
  }
  if (!text.empty() && text.back() == '.') text.pop_back();
  return text + ", or Return to " + whatReturnDoes + ".";
}
