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

}  // namespace
