#include "console/value_rules.h"

#include <gtest/gtest.h>

#include <limits>
#include <optional>

namespace {

// The value that a check takes from a text, or nothing when it refuses it.
template <typename T, typename Check>
std::optional<T> taken(Check check) {
  T value{};
  if (!check(value)) return std::nullopt;
  return value;
}

std::optional<double> checkThickness(const char* text, double E, double MUE) {
  return taken<double>([&](double& t) { return ::checkThickness(text, E, MUE, t); });
}
std::optional<int> checkRadiusCount(const char* text) {
  return taken<int>([&](int& n) { return ::checkRadiusCount(text, n); });
}
std::optional<bool> checkConvex(const char* text) {
  return taken<bool>([&](bool& convex) { return ::checkConvex(text, convex); });
}
std::optional<int> checkElementsPerCorner(const char* text) {
  return taken<int>([&](int& n) { return ::checkElementsPerCorner(text, n); });
}
std::optional<int> checkSubdivide(const char* text) {
  return taken<int>([&](int& n) { return ::checkSubdivide(text, n); });
}
std::optional<double> checkRadius(const char* text) {
  return taken<double>([&](double& r) { return ::checkRadius(text, r); });
}
std::optional<int> checkDivisionNumber(const char* text) {
  return taken<int>([&](int& d) { return checkWholeFromOne(text, "a division number", d); });
}

TEST(ValueRulesTest, NumbersMustBeWhole) {
  for (const char* text : {"2.5", "-3", ".5", "5.", "1e3", "+2", "0"}) {
    EXPECT_TRUE(parseNumber(text).has_value()) << text;
  }
  for (const char* text : {"", "2,5", "2.5x", "abc", "1e400", "inf", "nan", "0x10", " 2", "2 "}) {
    EXPECT_FALSE(parseNumber(text).has_value()) << text;
  }
  EXPECT_EQ(parseWholeNumber("-12"), -12);
  for (const char* text : {"1.0", "1e3", "12a", "99999999999", ""}) {
    EXPECT_FALSE(parseWholeNumber(text).has_value()) << text;
  }
}

TEST(ValueRulesTest, EachQuestionTakesWhatItCanUse) {
  EXPECT_EQ(checkThickness("2.5", 21000, 0.3), 2.5);
  for (const char* text : {"abc", "0", "-2", "1e400", "2,5"}) {
    EXPECT_FALSE(checkThickness(text, 21000, 0.3).has_value()) << text;
  }
  // A thickness whose stiffness overflows, or underflows, fits no plate.
  EXPECT_FALSE(checkThickness("1e150", 21000, 0.3).has_value());
  EXPECT_FALSE(checkThickness("1e-110", 21000, 0.3).has_value());
  EXPECT_EQ(checkThickness("1e-100", 21000, 0.3), 1e-100);

  EXPECT_EQ(checkRadiusCount("0"), 0);
  EXPECT_EQ(checkRadiusCount("1000"), 1000);
  for (const char* text : {"1001", "-1", "2.5", "abc"}) EXPECT_FALSE(checkRadiusCount(text));

  // The keys 0 and 1, nothing that merely converts to them.
  EXPECT_EQ(checkConvex("0"), true);
  EXPECT_EQ(checkConvex("1"), false);
  EXPECT_EQ(checkSubdivide("0"), 0);
  EXPECT_EQ(checkSubdivide("1"), 1);
  for (const char* text : {"0.9", "-1", "2", "5", "9", "01", "+1", "1.5", "1.0", "k"}) {
    EXPECT_FALSE(checkConvex(text).has_value()) << text;
    EXPECT_FALSE(checkSubdivide(text).has_value()) << text;
  }

  EXPECT_EQ(checkElementsPerCorner("0"), 0);
  EXPECT_EQ(checkElementsPerCorner("12"), 12);
  for (const char* text : {"2.5", "0.5", "2.9", "1e3", "-1", "99999999999", "x"}) {
    EXPECT_FALSE(checkElementsPerCorner(text).has_value()) << text;
  }

  EXPECT_EQ(checkRadius("2.5"), 2.5);
  EXPECT_FALSE(checkRadius("0").has_value());
  EXPECT_FALSE(checkRadius("-1").has_value());

  EXPECT_EQ(checkDivisionNumber("3"), 3);
  for (const char* text : {"0", "x", "2.0"}) EXPECT_FALSE(checkDivisionNumber(text).has_value());
}

TEST(ValueRulesTest, ARefusalSaysWhyAndLeavesTheValue) {
  double t = 7;
  const Result refused = ::checkThickness("2,5", 210, 0.3, t);
  EXPECT_TRUE(refused.isRefused());
  EXPECT_EQ(refused.reason(), "Not a thickness: 2,5. Type a number above 0, such as 2.5.");
  EXPECT_EQ(t, 7);
  EXPECT_EQ(withReturnAdvice(refused, "keep 1.5"),
            "Not a thickness: 2,5. Type a number above 0, such as 2.5, or Return to keep 1.5.");
  EXPECT_EQ(::checkThickness("2", 1e308, 0.3, t).reason(),
            "Not a thickness for this material: 2 gives a plate stiffness that is not finite.");
  EXPECT_EQ(::checkThickness("1e-110", 210, 0.3, t).reason(),
            "Not a thickness for this material: 1e-110 gives a plate stiffness too small to "
            "compute with.");
  EXPECT_EQ(withReturnAdvice(::checkThickness("2", 1e308, 0.3, t), "keep 1"),
            "Not a thickness for this material: 2 gives a plate stiffness that is not finite. "
            "Type another, or Return to keep 1.");
  EXPECT_EQ(t, 7);
  double first = 3;
  EXPECT_EQ(checkFirstRadius("-4", first).reason(),
            "Not a first radius: -4. Type the first and the last radius, the first above 0, "
            "such as 2 4.");
  EXPECT_EQ(checkFirstRadius("0", first).reason(),
            "Not a first radius: 0. Type the first and the last radius, the first above 0, "
            "such as 2 4.");
  EXPECT_EQ(checkFirstRadius("x", first).reason(),
            "Not a radius: x. Type the first and the last radius, such as 2 4.");
  EXPECT_EQ(first, 3);
  EXPECT_TRUE(checkFirstRadius("100", first).ok());
  EXPECT_EQ(first, 100);
  int n = 4;
  EXPECT_EQ(::checkElementsPerCorner("2.5", n).reason(),
            "Not a number of elements: 2.5. Type a whole number from 0 up.");
  EXPECT_EQ(checkRadiusRange("4", "2", 4, 2).reason(),
            "Not a range of radii: 4 to 2. The first must be above 0 and below the last.");
  EXPECT_TRUE(checkRadiusRange("2", "4", 2, 4).ok());
  int d = 0;
  EXPECT_EQ(checkWholeFromOne("0", "a division number for plate 2", d).reason(),
            "Not a division number for plate 2: 0. Type a whole number from 1 up.");
}

}  // namespace
