#include "report/section_picture.h"

#include <gtest/gtest.h>

namespace {

TEST(SectionPictureTest, NamesAreEscapedForXml) {
  EXPECT_EQ(xmlEscaped("a&b<c>\"d\" \xe4.kaf"), "a&amp;b&lt;c&gt;&quot;d&quot; &#228;.kaf");
}

}  // namespace
