#include "devicelink/records/CurrentValue.h"

#include <gtest/gtest.h>

using namespace pel::records;

TEST(CurrentValue, OneShotReadingTexts) {
  StreamContext ctx;
  for (auto& ch : ctx.own.channels) ch.resolution = {0.05, 0.05, 0.05, 0.000001};
  ctx.own.channels[2].resolution[0] = 0;
  ctx.convert[3] = ConvertSetting{1, 10, 0};
  ctx.own.channels[0].signInvert = true;  // not applied to the one-shot reading
  struct Case {
    const char* reply;
    const char* text;
  } cases[] = {
      {"{ 1.27 0 2.5 0.1}\r\n", "  1.250000,0.0,0.0,  1.000000,0.0,0.0,0.0,0.0;"},
      {"{ 1 2 3 4 5 6 7 8 9 10}\r\n", "  1.000000,  2.000000,0.0, 40.000000,  5.000000,  6.000000,  7.000000,  8.000000;"},
      {"{ }\r\n", ""},
      {"{ 1 x}\r\n", ""},
      {"", ""},
  };
  for (const Case& c : cases) EXPECT_EQ(FormatCurrentValue(ctx, c.reply), c.text) << c.reply;
}

TEST(CurrentValue, UsbReadingAlwaysHasEightValues) {
  StreamContext ctx;
  ctx.own.channels[0].active = ctx.own.channels[1].active = ctx.own.channels[7].active = true;
  ctx.own.channels[7].rangeIndex = 3;
  std::array<double, 8> latest{1.2344, 0, 5, 5, 5, 5, 5, 0.0000014};
  EXPECT_EQ(FormatUsbCurrentValue(ctx, latest), "  1.234000,0.0,0.0,0.0,0.0,0.0,0.0,  0.000001;");
}
