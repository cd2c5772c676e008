#include "console/console.h"

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

TEST(ConsoleTest, ReadAnswerEndsAtReturnBlankOrTab) {
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

TEST(ConsoleTest, BackspaceAndDeleteTakeBackTheLastKey) {
  // In the middle, at the start (nothing to take back: no echo), several in a
  // row, and Delete like Backspace.
  ScriptedConsole s(
      "5\b2\n\b\x7f"
      "7\n123\b\b\b9\n12\x7f\x7f\x7f\n");
  EXPECT_EQ(s.console.readAnswer(), "2");
  EXPECT_EQ(s.console.readAnswer(), "7");
  EXPECT_EQ(s.console.readAnswer(), "9");
  EXPECT_EQ(s.console.readAnswer(), "");
  EXPECT_EQ(s.out.str(),
            "5\b \b2\r"
            "7\r"
            "123\b \b\b \b\b \b9\r"
            "12\b \b\b \b\r");
}

TEST(ConsoleTest, OtherControlKeysAreKept) {
  ScriptedConsole s(
      "1\x1b"
      "2\n");
  EXPECT_EQ(s.console.readAnswer(),
            "1\x1b"
            "2");
}

TEST(ConsoleTest, LineEndsAndEndOfInputAreReturn) {
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

TEST(ConsoleTest, KeyAfterTokenDropsTheRestOfTheTokenLine) {
  ScriptedConsole s("2 4 \t\n\nx\n5\r\ny");
  std::string first;
  std::string last;
  EXPECT_TRUE(s.console.readToken(first));
  EXPECT_TRUE(s.console.readToken(last));
  EXPECT_EQ(first, "2");
  EXPECT_EQ(last, "4");
  EXPECT_EQ(s.console.readKey(), 13);  // the empty line, not the end of "2 4"
  EXPECT_EQ(s.console.readKey(), 'x');
  EXPECT_EQ(s.console.readKey(), 13);
  std::string n;
  EXPECT_TRUE(s.console.readToken(n));
  EXPECT_EQ(n, "5");
  EXPECT_EQ(s.console.readKey(), 'y');
}

TEST(ConsoleTest, TokensSpanLinesAndEndAtBlanks) {
  ScriptedConsole s("\n\n  3.5e1\n-2-7\t2,5 x\nnext");
  std::string token;
  const char* const expected[] = {"3.5e1", "-2-7", "2,5"};
  for (const char* text : expected) {
    EXPECT_TRUE(s.console.readToken(token));
    EXPECT_EQ(token, text);
  }
  s.console.dropRestOfLine();  // " x" and its line end
  EXPECT_TRUE(s.console.readToken(token));
  EXPECT_EQ(token, "next");
}

TEST(ConsoleTest, EndOfInputEndsEveryLaterTokenRead) {
  ScriptedConsole s("   \n");
  std::string token = "kept?";
  EXPECT_FALSE(s.console.readToken(token));
  EXPECT_FALSE(s.console.readToken(token));
  EXPECT_EQ(s.console.readKey(), 13);
}

}  // namespace
