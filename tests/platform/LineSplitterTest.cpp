#include "platform/LineSplitter.h"

#include <gtest/gtest.h>

namespace {

TEST(LineSplitter, JoinsPiecesAndSplitsOnCrLfOnly) {
  pel::LineSplitter s;
  for (char c : std::string("{ 1 2}\r\n{a\rb\nc}\r\n{tail"))
    s.feed(std::string_view(&c, 1));  // byte by byte
  std::string line;
  ASSERT_TRUE(s.next(line));
  EXPECT_EQ(line, "{ 1 2}");
  ASSERT_TRUE(s.next(line));
  EXPECT_EQ(line, "{a\rb\nc}");
  EXPECT_FALSE(s.next(line));
  EXPECT_EQ(s.pending(), "{tail");
}

TEST(LineSplitter, CutsALineThatNeverEnds) {
  pel::LineSplitter s(8);
  s.feed("0123456789");
  std::string line;
  ASSERT_TRUE(s.next(line));
  EXPECT_EQ(line, "01234567");
  EXPECT_EQ(s.pending(), "89");
}

}  // namespace
