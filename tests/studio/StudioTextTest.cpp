#include <gtest/gtest.h>

#include <limits>

#include "studio/core/StudioText.h"

namespace {
using namespace tessaly;

TEST(SplitText, FinalPieceStopsOneShortOfTheEnd) {
  struct Case {
    std::string text;
    char sep;
    std::vector<std::string> pieces;
  } cases[] = {
      {"1,2.5, 3.0;", ',', {"1", "2.5", " 3.0"}},
      {"1,2.5, 3.0", ',', {"1", "2.5", " 3."}},
      {"12;V;1;0 ", ';', {"12", "V", "1", "0"}},
      {"", ',', {""}},
      {"a,b", ',', {"a", ""}},
      {"a,", ',', {"a", ""}},
      {",x", ',', {"", ""}},
  };
  for (const auto& c : cases) EXPECT_EQ(SplitText(c.text, c.sep), c.pieces) << c.text;
}

TEST(StudioNumbers, ReadInTheGivenSeparatorOnly) {
  EXPECT_DOUBLE_EQ(ParseNumber(" 0.25 "), 0.25);
  EXPECT_DOUBLE_EQ(ParseNumber("0,25", ','), 0.25);
  EXPECT_DOUBLE_EQ(ParseNumber("-1e-3"), -0.001);
  for (const char* bad : {"", "x", "1.5x", "0,25", "1..2"}) EXPECT_THROW(ParseNumber(bad), BadNumber) << bad;
  EXPECT_THROW(ParseNumber("0.25", ','), BadNumber);
  EXPECT_EQ(ParseInteger(" 12"), 12);
  EXPECT_EQ(ParseInteger("-3"), -3);
  for (const char* bad : {"", "12 ", "1.0", "a", "99999999999"}) EXPECT_THROW(ParseInteger(bad), BadNumber) << bad;
}

TEST(StudioNumbers, GeneralFormatIsShortestUpTo15Digits) {
  struct Case {
    double v;
    char dec;
    const char* text;
  } cases[] = {{0, '.', "0"},        {10.0, '.', "10"},   {0.1 * 3, '.', "0.3"},   {1.5, ',', "1,5"},
               {-2.25, '.', "-2.25"}, {123456.789, '.', "123456.789"}, {1.0 / 3, '.', "0.333333333333333"}};
  for (const auto& c : cases) EXPECT_EQ(FormatGeneral(c.v, c.dec), c.text) << c.text;
  // Near the largest double 15 digits would round past it: 17 read back.
  const double max = std::numeric_limits<double>::max();
  EXPECT_EQ(FormatGeneral(-max), "-1.7976931348623157e+308");
  for (char dec : {'.', ','}) EXPECT_EQ(ParseNumber(FormatGeneral(max, dec), dec), max);
  EXPECT_EQ(FormatBpm(150, '.'), "BPM : 150.000");
  EXPECT_EQ(FormatBpm(72.5, ','), "BPM : 72,500");
}

TEST(SensorListed, WalksTheListAndStopsAtABadPiece) {
  EXPECT_TRUE(SensorListed("3, 12 ,40", 12));
  EXPECT_TRUE(SensorListed("3,40", 40));
  EXPECT_FALSE(SensorListed("3,40", 4));
  EXPECT_FALSE(SensorListed("", -1));
  EXPECT_TRUE(SensorListed("5,,7", 5));  // found before the empty piece
  EXPECT_THROW(SensorListed("5,,7", 7), BadNumber);
  EXPECT_THROW(SensorListed("5 ", 6), BadNumber);  // the remainder is not trimmed
  EXPECT_DOUBLE_EQ(BpmLevelFromText("", '.'), 3.5);
  EXPECT_DOUBLE_EQ(BpmLevelFromText("2,5", ','), 2.5);
  EXPECT_THROW(BpmLevelFromText("2.5", ','), BadNumber);
}

}  // namespace
