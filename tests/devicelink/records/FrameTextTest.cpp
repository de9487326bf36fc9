#include "devicelink/records/FrameText.h"

#include <gtest/gtest.h>

using namespace pel::records;
using V = std::vector<std::string>;

TEST(FrameText, ReplyBody) {
  EXPECT_EQ(ReplyBody("OK{ 1.5 2.5}\r\n"), " 1.5 2.5");
  EXPECT_EQ(ReplyBody("{7}"), "7");
  EXPECT_EQ(ReplyBody("{7"), "");
  EXPECT_EQ(ReplyBody("no frame"), "");
  EXPECT_EQ(ReplyBody("{a}{ b}"), " b");  // "{ " is preferred wherever it is
  EXPECT_EQ(ReplyBody("{}"), "");
}

TEST(FrameText, SplitFields) {
  EXPECT_EQ(SplitFields(" 1.5  2.5", ' '), (V{"1.5", "2.5"}));
  EXPECT_EQ(SplitFields("1 2  ", ' '), (V{"1", "2", ""}));
  EXPECT_EQ(SplitFields("1 2 ", ' '), (V{"1", "2"}));
  EXPECT_EQ(SplitFields("   ", ' '), (V{""}));
  EXPECT_EQ(SplitFields("", ' '), V{});
  EXPECT_EQ(SplitFields("1,0,,1", ','), (V{"1", "0", "1"}));
}
