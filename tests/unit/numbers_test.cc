#include "archive/numbers.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(NumbersTest, ToIntTakesTheLeadingIntegerOrZero) {
  const struct {
    const char* text;
    int value;
  } cases[] = {{"12abc", 12},
               {"abc", 0},
               {"", 0},
               {"99999999999", 0},
               {"-3", -3},
               {"2.9", 2},
               {"  7", 7},
               {"\t\n-8x", -8},
               {"+5", 5},
               {"2147483647", 2147483647},
               {"-2147483648", -2147483647 - 1},
               {"2147483648", 0},
               {"-", 0},
               {"0x10", 0},
               {"1 2", 1}};
  for (const auto& c : cases) EXPECT_EQ(toInt(c.text), c.value) << '"' << c.text << '"';
}

TEST(NumbersTest, ScanDoubleTakesTheLongestNumberPrefix) {
  const struct {
    const char* text;
    std::size_t used;
    double value;  // -7: left as it was
  } cases[] = {{"2.5x", 3, 2.5}, {"1e3", 3, 1000}, {".5", 2, 0.5},     {"x", 0, -7},
               {"", 0, -7},      {"1e", 1, 1},     {"1e+", 1, 1},      {"-1.5e-2", 7, -0.015},
               {"5.", 2, 5},     {".", 0, -7},     {"-.25", 4, -0.25}, {"inf", 0, -7},
               {"nan", 0, -7},   {"0x1p3", 1, 0},  {"1e999", 0, -7},   {" 3.0", 0, -7},
               {"2,5", 1, 2},    {"+.5e1", 5, 5}};
  for (const auto& c : cases) {
    double value = -7;
    EXPECT_EQ(scanDouble(c.text, value), c.used) << '"' << c.text << '"';
    EXPECT_EQ(value, c.value) << '"' << c.text << '"';
  }
}

TEST(NumbersTest, ToFloatGivesTheNearestFloat) {
  EXPECT_EQ(toFloat("1.54"), 1.54f);
  EXPECT_EQ(toFloat("1.53 "), 1.53f);
  EXPECT_EQ(toFloat(""), 0.0f);
  EXPECT_EQ(toFloat("1e39"), 0.0f);  // outside the range of float
}

TEST(NumbersTest, ScannersLeaveTheTargetOnFailure) {
  int i = 42;
  EXPECT_EQ(scanInt("x1", i), 0u);
  EXPECT_EQ(scanInt("99999999999", i), 0u);
  EXPECT_EQ(i, 42);
  double d = 4.5;
  EXPECT_EQ(scanDouble("e5", d), 0u);
  EXPECT_EQ(d, 4.5);
  EXPECT_EQ(scanDouble("12.5e-1z", d), 7u);
  EXPECT_EQ(d, 1.25);
}

TEST(NumbersTest, FormatRealIsPrintfG) {
  const struct {
    double value;
    const char* text;
  } cases[] = {{21000.0, "21000"},
               {0.3, "0.3"},
               {8076.923076923076, "8076.92"},
               {0.0, "0"},
               {-0.0, "-0"},
               {3.67394e-15, "3.67394e-15"},
               {1e-5, "1e-05"},
               {123456789.0, "1.23457e+08"},
               {100000.0, "100000"},
               {1000000.0, "1e+06"},
               {1.5, "1.5"},
               {-98.7654321, "-98.7654"},
               {0.0001, "0.0001"},
               {1e300, "1e+300"}};
  for (const auto& c : cases) EXPECT_EQ(formatReal(c.value), c.text);
}

TEST(NumbersTest, FormatFixedPadsAndNeverCuts) {
  EXPECT_EQ(formatFixed(100.0, 2, 6), "100.00");
  EXPECT_EQ(formatFixed(1.5, 3, 6), " 1.500");
  EXPECT_EQ(formatFixed(-90.0, 2, 6), "-90.00");
  EXPECT_EQ(formatFixed(0.0, 2, 6), "  0.00");
  EXPECT_EQ(formatFixed(12345.678, 2, 6), "12345.68");
  EXPECT_EQ(formatFixed(-0.001, 2, 6), " -0.00");
}

}  // namespace
