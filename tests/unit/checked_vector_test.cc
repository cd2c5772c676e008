#include "archive/checked_vector.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

namespace {

// Records what the index message showed and answers as told.
struct PromptRecorder {
  static bool retry;
  static int calls;
  static std::string caption;
  static std::string message;
  static bool answer(const char* c, const char* m) {
    ++calls;
    caption = c;
    message = m;
    return retry;
  }
};
bool PromptRecorder::retry = true;
int PromptRecorder::calls = 0;
std::string PromptRecorder::caption;
std::string PromptRecorder::message;

class CheckedVectorTest : public ::testing::Test {
 protected:
  void SetUp() override {
    PromptRecorder::calls = 0;
    PromptRecorder::retry = true;
    previous_ = setIndexPrompt(PromptRecorder::answer);
  }
  void TearDown() override { setIndexPrompt(previous_); }

 private:
  IndexPrompt previous_ = nullptr;
};

TEST_F(CheckedVectorTest, IndexInRangeAsksNothing) {
  IntList one{7};
  EXPECT_EQ(one[0], 7);
  EXPECT_EQ(PromptRecorder::calls, 0);
}

TEST_F(CheckedVectorTest, IndexPastTheEndShowsTheMessageAndRetryGivesTheLast) {
  RealList v{1, 2, 3, 4, 5};
  EXPECT_EQ(v[5], 5);
  EXPECT_EQ(PromptRecorder::calls, 1);
  EXPECT_EQ(PromptRecorder::caption, "Absturz");
  EXPECT_EQ(PromptRecorder::message,
            "Vektorindex 5, erlaubt nur bis 4\nWeitermachen auf eigene Gefahr!!\n"
            "Am besten gleich abspeichern und raus.");
  v[9] = 50;  // a write through the fallback changes the last element
  EXPECT_EQ(v.back(), 50);
  EXPECT_EQ(PromptRecorder::calls, 2);
  EXPECT_EQ(v.size(), 5u);
}

TEST_F(CheckedVectorTest, NegativeIndexIsOutOfRange) {
  TextList v{"a", "b", "c"};
  EXPECT_EQ(v[-1], "c");
  EXPECT_EQ(PromptRecorder::message.substr(0, 33), "Vektorindex -1, erlaubt nur bis 2");
}

TEST_F(CheckedVectorTest, CancelThrowsOutOfRange) {
  PromptRecorder::retry = false;
  IntList v{1, 2};
  try {
    v[2] = 0;
    FAIL() << "no exception";
  } catch (const std::out_of_range& error) {
    EXPECT_STREQ(error.what(), "invalid vector<T> subscript");
  }
  EXPECT_EQ(v[1], 2);
}

TEST_F(CheckedVectorTest, RetryOnAnEmptyListIsCancel) {
  IntList empty;
  EXPECT_THROW(empty[0], std::out_of_range);
  EXPECT_EQ(PromptRecorder::message.substr(0, 33), "Vektorindex 0, erlaubt nur bis -1");
}

}  // namespace
