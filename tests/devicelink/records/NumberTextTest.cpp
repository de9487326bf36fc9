#include "devicelink/records/NumberText.h"

#include <gtest/gtest.h>

#include <clocale>

using namespace pel::records;

TEST(NumberText, FixedMatchesPrintfWidthAndPrecision) {
  struct Case {
    double v;
    int width, precision;
    const char* text;
  } cases[] = {
      {1.25, 10, 6, "  1.250000"},     {-1.5, 10, 6, " -1.500000"},
      {0.4, 10, 8, "0.40000000"},      {12.5, 10, 8, "12.50000000"},  // grows beyond the width
      {123456.0, 10, 6, "123456.000000"}, {0.0, 10, 6, "  0.000000"},
      {0.0000005, 10, 6, "  0.000000"},   {0.0000015, 10, 6, "  0.000002"},
      {0.2, 5, 3, "0.200"},
  };
  for (const Case& c : cases) EXPECT_EQ(FormatFixed(c.v, c.width, c.precision), c.text) << c.v;
}

TEST(NumberText, PointSeparatorWhateverTheLocale) {
  // A locale with a decimal comma, when the machine has one.
  const char* names[] = {"de_DE.UTF-8", "de_DE", "fr_FR.UTF-8", "German_Germany.1252"};
  for (const char* n : names)
    if (std::setlocale(LC_ALL, n)) break;
  double v = 0;
  EXPECT_EQ(FormatFixed(3.5, 10, 6), "  3.500000");
  EXPECT_TRUE(ParseNumber("3.5", v));
  EXPECT_EQ(v, 3.5);
  std::setlocale(LC_ALL, "C");
}

TEST(NumberText, ParseNumberAcceptsWholeNumbersOnly) {
  struct Case {
    const char* text;
    bool ok;
    double v;
  } cases[] = {{"1.5", true, 1.5},  {"-2", true, -2},   {"+0.25", true, 0.25}, {"1e3", true, 1000},
               {"0", true, 0},      {"", false, 0},     {"1,5", false, 0},     {" 1", false, 0},
               {"1.5x", false, 0},  {"inf", false, 0},  {"nan", false, 0},     {"+-1", false, 0},
               {"abc", false, 0}};
  for (const Case& c : cases) {
    double v = -99;
    EXPECT_EQ(ParseNumber(c.text, v), c.ok) << c.text;
    if (c.ok) {
      EXPECT_EQ(v, c.v) << c.text;
    }
  }
  int i = 0;
  EXPECT_TRUE(ParseInteger("012", i));
  EXPECT_EQ(i, 12);
  EXPECT_FALSE(ParseInteger("1.0", i));
  EXPECT_FALSE(ParseInteger("99999999999", i));
}
