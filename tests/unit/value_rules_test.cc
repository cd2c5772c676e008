#include "console/value_rules.h"

#include <gtest/gtest.h>

#include <limits>

namespace {

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
  // A thickness whose stiffness overflows is no thickness.
  EXPECT_FALSE(checkThickness("1e150", 21000, 0.3).has_value());

  EXPECT_EQ(checkRadiusCount("0"), 0);
  EXPECT_EQ(checkRadiusCount("1000"), 1000);
  for (const char* text : {"1001", "-1", "2.5", "abc"}) EXPECT_FALSE(checkRadiusCount(text));

  EXPECT_EQ(checkConvex("0"), true);
  EXPECT_EQ(checkConvex("0.9"), true);
  EXPECT_EQ(checkConvex("1"), false);
  EXPECT_EQ(checkConvex("-1"), false);
  EXPECT_FALSE(checkConvex("k").has_value());

  EXPECT_EQ(checkElementsPerCorner("2.9"), 2);
  EXPECT_EQ(checkElementsPerCorner("0"), 0);
  EXPECT_EQ(checkElementsPerCorner("1e300"), std::numeric_limits<int>::max());
  EXPECT_FALSE(checkElementsPerCorner("-1").has_value());

  EXPECT_EQ(checkSubdivide("1.7"), 1);
  EXPECT_EQ(checkSubdivide("0"), 0);
  EXPECT_FALSE(checkSubdivide("2").has_value());

  EXPECT_EQ(checkRadius("2.5"), 2.5);
  EXPECT_FALSE(checkRadius("0").has_value());
  EXPECT_FALSE(checkRadius("-1").has_value());

  EXPECT_EQ(checkDivisionNumber("3"), 3);
  for (const char* text : {"0", "x", "2.0"}) EXPECT_FALSE(checkDivisionNumber(text).has_value());
}

}  // namespace
