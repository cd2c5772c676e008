#include "archive/file_naming.h"

#include <gtest/gtest.h>

namespace {

std::string withSuffix(std::string path, const std::string& suffix) {
  insertNameSuffix(path, suffix);
  return path;
}

TEST(FileNamingTest, SuffixGoesBetweenBaseNameAndExtension) {
  const struct {
    const char* path;
    const char* suffix;
    const char* expected;
  } cases[] = {
      {"C:\\data\\chan.kaf", "-rr1", "C:\\data\\chan-rr1.kaf"},
      {"C:\\data\\chan-rr1.kaf", "-shear", "C:\\data\\chan-rr1-shear.kaf"},
      {"C:\\data\\chan.kaf", "-rr12", "C:\\data\\chan-rr12.kaf"},
      {"D:\\x\\profile", "-rr1", "D:\\x\\profile-rr1"},
      {"D:\\x\\profile-rr1", "-shear", "D:\\x\\profile-rr1-shear"},
      {"C:\\rel.2\\sec", "-rr1", "C:\\rel.2\\sec-rr1"},
      {"a.b.c", "-rr1", "a.b-rr1.c"},
      {"chan.kaf", "-rr1", "chan-rr1.kaf"},
      {".kaf", "-rr1", "-rr1.kaf"},
      {"C:/data/chan.kaf", "-rr1", "C:/data/chan-rr1.kaf"},
      {"/home/eng/rel.2/sec", "-rr3", "/home/eng/rel.2/sec-rr3"},
      {"C:chan.kaf", "-rr1", "C:chan-rr1.kaf"},
      {"C:.kaf", "-rr1", "C:-rr1.kaf"},
      {"dir/", "-rr1", "dir/-rr1"},
      {"", "-rr1", "-rr1"},
  };
  for (const auto& c : cases) EXPECT_EQ(withSuffix(c.path, c.suffix), c.expected) << c.path;
}

TEST(FileNamingTest, LongPathsAreKeptWhole) {
  const std::string directory(300, 'd');
  const std::string base(300, 'b');
  EXPECT_EQ(withSuffix(directory + "/" + base + ".kaf", "-rr1"),
            directory + "/" + base + "-rr1.kaf");
}

TEST(FileNamingTest, RoundNamesAreMadeAndReadBack) {
  const RoundFileNames beside = roundFileNames("C:\\data\\chan.kaf", "", 12);
  EXPECT_EQ(beside.mav3, "C:\\data\\chan-rr12.kaf");
  EXPECT_EQ(beside.mav4, "C:\\data\\chan-rr12-shear.kaf");
  const RoundFileNames elsewhere = roundFileNames("in/a.b.kaf", "out", 3);
  EXPECT_EQ(elsewhere.mav3, "out/a.b-rr3.kaf");
  EXPECT_EQ(elsewhere.mav4, "out/a.b-rr3-shear.kaf");
  // What is made reads back, for names with and without an extension.
  for (const char* input : {"d/chan.kaf", "profile", "a.b.kaf", ".kaf", "x-rr1.kaf"}) {
    for (int counter : {1, 9, 10, 123456789}) {
      const RoundFileNames names = roundFileNames(input, "", counter);
      bool shear = true;
      EXPECT_EQ(roundCounterOf(fileNameOf(names.mav3), input, shear), counter) << input;
      EXPECT_FALSE(shear) << input;
      EXPECT_EQ(roundCounterOf(fileNameOf(names.mav4), input, shear), counter) << input;
      EXPECT_TRUE(shear) << input;
    }
  }
  // Names that no round makes.
  for (const char* name : {"chan.kaf", "chan-rr.kaf", "chan-rr0.kaf", "chan-rr01.kaf",
                           "chan-rr1.svg", "chan-rr1-shear-shear.kaf", "chan-rr-shear.kaf",
                           "chan-rr1x.kaf", "other-rr1.kaf", "chan-rr1234567890.kaf"}) {
    bool shear = false;
    EXPECT_EQ(roundCounterOf(name, "d/chan.kaf", shear), 0) << name;
  }
}

}  // namespace
