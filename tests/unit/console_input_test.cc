#include "app/console_input.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>

namespace {

// A console whose keyboard and standard input are one scripted stream, as
// when the program reads a pipe.
struct ScriptedConsole {
  explicit ScriptedConsole(const std::string& script) : in(script), console(in, out, false) {}
  std::istringstream in;
  std::ostringstream out;
  Console console;
};

TEST(ConsoleInputTest, ReadAnswerEndsAtReturnBlankOrTab) {
  ScriptedConsole s("12 ab\tcd\n\n \t");
  EXPECT_EQ(s.console.readAnswer(), "12");
  EXPECT_EQ(s.console.readAnswer(), "ab");
  EXPECT_EQ(s.console.readAnswer(), "cd");
  EXPECT_EQ(s.console.readAnswer(), "");
  EXPECT_EQ(s.console.readAnswer(), "");
  EXPECT_EQ(s.console.readAnswer(), "");
  // Every key is echoed; Return as a bare carriage return.
  EXPECT_EQ(s.out.str(), "12 ab\tcd\r\r \t");
}

TEST(ConsoleInputTest, ReadAnswerKeepsControlKeys) {
  ScriptedConsole s("1\b2\n");
  const std::string answer = s.console.readAnswer();
  EXPECT_EQ(answer, "1\b2");
  EXPECT_EQ(toInt(answer), 1);
  EXPECT_EQ(s.out.str(), "1\b2\r");
}

TEST(ConsoleInputTest, LineEndsAndEndOfInputAreReturn) {
  ScriptedConsole s("a\r\nb\rc");
  EXPECT_EQ(s.console.readKey(), 'a');
  EXPECT_EQ(s.console.readKey(), 13);
  EXPECT_EQ(s.console.readKey(), 'b');
  EXPECT_EQ(s.console.readKey(), 13);
  EXPECT_EQ(s.console.readKey(), 'c');
  EXPECT_EQ(s.console.readKey(), 13);  // end of input, again and again
  EXPECT_EQ(s.console.readKey(), 13);
  EXPECT_EQ(s.console.readAnswer(), "");
}

TEST(ConsoleInputTest, KeyAfterNumberDropsTheRestOfTheNumberLine) {
  ScriptedConsole s("2 4 \t\n\nx\n5\r\ny");
  double first = 0;
  double last = 0;
  EXPECT_TRUE(s.console.readNumber(first));
  EXPECT_TRUE(s.console.readNumber(last));
  EXPECT_EQ(first, 2);
  EXPECT_EQ(last, 4);
  EXPECT_EQ(s.console.readKey(), 13);  // the empty line, not the end of "2 4"
  EXPECT_EQ(s.console.readKey(), 'x');
  EXPECT_EQ(s.console.readKey(), 13);
  int n = 0;
  EXPECT_TRUE(s.console.readNumber(n));
  EXPECT_EQ(n, 5);
  EXPECT_EQ(s.console.readKey(), 'y');
}

TEST(ConsoleInputTest, NumbersSpanLinesAndStopAtTheirLastCharacter) {
  ScriptedConsole s("\n\n  3.5e1\n-2-7 2.5");
  double a = 0;
  int b = 0;
  int c = 0;
  int d = 0;
  EXPECT_TRUE(s.console.readNumber(a));
  EXPECT_TRUE(s.console.readNumber(b));
  EXPECT_TRUE(s.console.readNumber(c));  // "-7" stays after "-2"
  EXPECT_TRUE(s.console.readNumber(d));
  EXPECT_EQ(a, 35);
  EXPECT_EQ(b, -2);
  EXPECT_EQ(c, -7);
  EXPECT_EQ(d, 2);  // an int read stops at the point
}

TEST(ConsoleInputTest, FailedNumberLeavesTargetsAndFailsEveryLaterRead) {
  ScriptedConsole s("x 5 6\n");
  double radius = 3.0;
  int division = 1;
  EXPECT_FALSE(s.console.readNumber(radius));
  EXPECT_EQ(radius, 3.0);
  EXPECT_FALSE(s.console.readNumber(division));  // "5" is there, but the stream has failed
  EXPECT_EQ(division, 1);
  // Keys are not affected by the failed numeric reads.
  EXPECT_EQ(s.console.readKey(), 'x');
}

TEST(ConsoleInputTest, NumberOutOfRangeFails) {
  ScriptedConsole s("99999999999 1e999");
  int n = 7;
  EXPECT_FALSE(s.console.readNumber(n));
  EXPECT_EQ(n, 7);
  ScriptedConsole t("1e999");
  double r = 2;
  EXPECT_FALSE(t.console.readNumber(r));
  EXPECT_EQ(r, 2);
}

TEST(ConsoleInputTest, EndOfInputFailsANumericRead) {
  ScriptedConsole s("   \n");
  double r = 6;
  EXPECT_FALSE(s.console.readNumber(r));
  EXPECT_EQ(r, 6);
  EXPECT_EQ(s.console.readKey(), 13);
}

}  // namespace
