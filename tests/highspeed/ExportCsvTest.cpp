#include "highspeed/export/ExportCsv.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cstring>

#include "ExportFakes.h"

namespace quillon {
namespace {

using test::FakeTexts;
using test::MakeSource;

const std::string kHeader12 = " ; ; CH [A] ; CH [B] ; CH [C]\r\nTitle ; ; ; ; \r\n";

TEST(CsvText, SlowCaptureOnAAndCWritesAllThreeColumns) {
  ExportSource s = MakeSource({{1.25f, 9.0f, 0.125f}, {2.5f, 9.0f, 0.25f}, {-0.75f, 9.0f, 12.5f}}, 3, 0, 7);
  s.slowInterval = 0.5f;
  EXPECT_EQ(BuildCsvText(s, FakeTexts{}),
            kHeader12 +
                "No. ;Time(s) ;V ; ;N\r\n"
                "1 ;0.5000 ;1.2500 ;9.0000 ;0.1250\r\n"
                "2 ;1.0000 ;2.5000 ;9.0000 ;0.2500\r\n"
                "3 ;1.5000 ;-0.7500 ;9.0000 ;12.5000\r\n");
}

TEST(CsvText, FastCaptureOnBWritesNumberTimeAndTheValue) {
  ExportSource s = MakeSource({{0, 2.5f, 0}, {0, -1.0f, 0}, {0, 0.0625f, 0}}, 0, 5, 0);
  s.fastInterval = 0.0002f;
  s.slowInterval = 7.0f;  // not the time step of a fast capture
  EXPECT_EQ(BuildCsvText(s, FakeTexts{}),
            kHeader12 +
                "No. ;Time(s) ; ;mV ;\r\n"
                "1 ;0.0002 ; ;2.5000 ;\r\n"
                "2 ;0.0004 ; ;-1.0000 ;\r\n"
                "3 ;0.0006 ; ;0.0625 ;\r\n");
}

TEST(CsvText, LevelRowsGiveTheTimesBetweenSuccessiveCrossings) {
  ExportSource s = MakeSource(
      {{0.0005f, 0, 0}, {0.0012f, 0, 0}, {0.0020f, 0, 0}, {0.0031f, 0, 0}, {0.0050f, 0, 0}}, 3, 0, 0);
  s.fastInterval = 0.0001f;
  s.levelRows = true;
  EXPECT_EQ(BuildCsvText(s, FakeTexts{}),
            kHeader12 +
                "No. ;Time(s) ;V ; ;\r\n"
                "0 ; ;0.0007 ; ;\r\n"
                "1 ; ;0.0008 ; ;\r\n"
                "2 ; ;0.0011 ; ;\r\n"
                "3 ; ;0.0019 ; ;\r\n");
}

TEST(CsvText, LevelRowsWithOneOrNoCrossingGiveHeadersOnly) {
  for (auto rows : {std::vector<std::vector<float>>{}, std::vector<std::vector<float>>{{0, 0, 0.004f}}}) {
    ExportSource s = MakeSource(rows, 0, 0, 7);
    s.levelRows = true;
    EXPECT_EQ(BuildCsvText(s, FakeTexts{}), kHeader12 + "No. ;Time(s) ; ; ;N\r\n") << rows.size();
  }
}

TEST(CsvText, HeaderLinesFollowSensorsAndMissingTexts) {
  FakeTexts texts;
  texts.runExperiment.clear();
  texts.units.erase(5);  // a sensor whose unit is missing
  struct Case {
    std::int32_t a, b, c;
    const char* line3;
  } cases[] = {
      {0, 0, 0, " ; ; ; ;\r\n"},
      {3, 5, 7, " ; ;V ; ;N\r\n"},
      {0, 0, 3, " ; ; ; ;V\r\n"},
      {7, 3, 0, " ; ;N ;V ;\r\n"},
  };
  for (const Case& c : cases) {
    ExportSource s = MakeSource({}, c.a, c.b, c.c);
    EXPECT_EQ(BuildCsvText(s, texts), std::string(" ; ; CH [A] ; CH [B] ; CH [C]\r\n ; ; ; ; \r\n") + c.line3);
  }
}

// The form follows how the rows were captured, not the Level box at export
// time: the same crossing times from a level download come out as
// differences even when the fast-capture test would hold, and rows of a
// normal download are never turned into differences.
TEST(CsvText, FormFollowsHowTheRowsWereCaptured) {
  ExportSource s = MakeSource({{1.0f, 0, 0}, {1.5f, 0, 0}}, 3, 0, 0);
  s.fastInterval = 0.0001f;
  s.levelRows = false;
  EXPECT_EQ(BuildCsvText(s, FakeTexts{}),
            kHeader12 + "No. ;Time(s) ;V ; ;\r\n1 ;0.0001 ;1.0000 ; ;\r\n2 ;0.0002 ;1.5000 ; ;\r\n");
  s.levelRows = true;
  s.fastInterval = 0.0f;
  s.slowInterval = 0.25f;
  EXPECT_EQ(BuildCsvText(s, FakeTexts{}), kHeader12 + "No. ;Time(s) ;V ; ;\r\n0 ; ;0.5000 ; ;\r\n");
}

TEST(CsvText, EveryActiveChannelOfAFastCaptureIsWritten) {
  ExportSource s = MakeSource({{1.5f, -2.0f, 0}, {1.75f, -2.25f, 0}}, 3, 5, 0);
  s.fastInterval = 0.0001f;
  EXPECT_EQ(BuildCsvText(s, FakeTexts{}),
            kHeader12 + "No. ;Time(s) ;V ;mV ;\r\n1 ;0.0001 ;1.5000 ;-2.0000 ;\r\n2 ;0.0002 ;1.7500 ;-2.2500 ;\r\n");
  // Without any active channel the rows still hold three samples each.
  s = MakeSource({{1.5f, -2.0f, 4.0f}}, 0, 0, 0);
  s.fastInterval = 0.0001f;
  EXPECT_EQ(BuildCsvText(s, FakeTexts{}), kHeader12 + "No. ;Time(s) ; ; ;\r\n1 ;0.0001 ;1.5000 ;-2.0000 ;4.0000\r\n");
}

// Level rows of two channels: each crossing stored once per active channel,
// in channel order, with the time in that channel's column.
TEST(CsvText, EveryActiveChannelOfLevelRowsIsWritten) {
  ExportSource s = MakeSource(
      {{0.001f, 0, 0}, {0, 0, 0.001f}, {0.003f, 0, 0}, {0, 0, 0.003f}, {0.006f, 0, 0}, {0, 0, 0.006f}}, 3, 0, 7);
  s.levelRows = true;
  EXPECT_EQ(BuildCsvText(s, FakeTexts{}),
            kHeader12 + "No. ;Time(s) ;V ; ;N\r\n0 ; ;0.0020 ; ;0.0020\r\n1 ; ;0.0030 ; ;0.0030\r\n");
}

// Channels cross independently: their rows interleave in the order the
// crossings happened, and a channel may cross more often than another.
TEST(CsvText, LevelRowsOfChannelsCrossingApartKeepEachChannelsTimes) {
  ExportSource s = MakeSource({{0.001f, 0, 0},
                               {0, 0, 0.0015f},
                               {0.003f, 0, 0},
                               {0.004f, 0, 0},
                               {0, 0, 0.0045f},
                               {0.0075f, 0, 0}},
                              3, 5, 7);  // B is active but never crossed
  s.levelRows = true;
  EXPECT_EQ(BuildCsvText(s, FakeTexts{}),
            kHeader12 +
                "No. ;Time(s) ;V ;mV ;N\r\n"
                "0 ; ;0.0020 ; ;0.0030\r\n"
                "1 ; ;0.0010 ; ;\r\n"
                "2 ; ;0.0035 ; ;\r\n");
}

TEST(CsvText, NumbersUsePointsUnderACommaLocale) {
  const char* names[] = {"de_DE.UTF-8", "de_DE.utf8", "de_DE", "German_Germany.1252", "German", "fr_FR.UTF-8"};
  bool comma = false;
  for (const char* n : names)
    if (std::setlocale(LC_ALL, n) && std::strcmp(std::localeconv()->decimal_point, ",") == 0) {
      comma = true;
      break;
    }
#ifndef _WIN32
  if (!comma) GTEST_SKIP() << "no locale with a decimal comma installed";
#endif
  ASSERT_TRUE(comma);
  ExportSource s = MakeSource({{1.25f, 2.5f, 3.75f}}, 3, 5, 7);
  s.slowInterval = 0.5f;
  const std::string text = BuildCsvText(s, FakeTexts{});
  std::setlocale(LC_ALL, "C");
  EXPECT_EQ(text, kHeader12 + "No. ;Time(s) ;V ;mV ;N\r\n1 ;0.5000 ;1.2500 ;2.5000 ;3.7500\r\n");
}

TEST(ExportSourceRows, CopyIsClampedToTheTable) {
  const float a[] = {1, 2, 3}, b[] = {4, 5, 6}, c[] = {7, 8};
  ExportSource s;
  SetRows(s, a, b, c, 3);
  EXPECT_EQ(s.RowCount(), 2);
  EXPECT_EQ(s.columnC, (std::vector<float>{7, 8}));
  SetRows(s, a, b, c, -4);
  EXPECT_EQ(s.RowCount(), 0);
  SetRows(s, a, b, c, 1);
  EXPECT_EQ(s.columnB, (std::vector<float>{4}));
}

// The export works on its own copy: a new download refilling the table
// while the export runs does not change what is written.
TEST(ExportSourceRows, SnapshotIsNotChangedByARefill) {
  float a[] = {1.0f, 2.0f}, b[] = {0, 0}, c[] = {0, 0};
  ExportSource s;
  SetRows(s, a, b, c, 2);
  s.sensorId[0] = 3;
  s.slowInterval = 1.0f;
  const std::string before = BuildCsvText(s, FakeTexts{});
  a[0] = 99.0f;
  a[1] = 98.0f;
  EXPECT_EQ(BuildCsvText(s, FakeTexts{}), before);
  EXPECT_NE(before.find("1 ;1.0000 ;1.0000"), std::string::npos);
}

TEST(ExportSourceRows, FastCaptureTest) {
  struct Case {
    float fast;
    bool isFast;
  } cases[] = {{0.0001f, true}, {0.0049f, true}, {0.0f, false}, {0.00001f, false}, {0.00009f, true}};
  for (const Case& c : cases) {
    ExportSource s;
    s.fastInterval = c.fast;
    s.slowInterval = 2.0f;
    EXPECT_EQ(IsFastCapture(s), c.isFast) << c.fast;
    EXPECT_EQ(TimeStep(s), c.isFast ? c.fast : 2.0f) << c.fast;
  }
}

}  // namespace
}  // namespace quillon
