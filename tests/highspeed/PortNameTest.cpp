#include "highspeed/PortName.h"

#include <gtest/gtest.h>

#include "highspeed/ProbeReply.h"
#include "highspeed/ui/NumberText.h"

namespace quillon {
namespace {

TEST(PortName, ByNumberAndByName) {
  EXPECT_EQ(PortNameForNumber(3), "COM3");
  EXPECT_EQ(PortNameForNumber(9), "COM9");
  EXPECT_EQ(PortNameForNumber(10), "\\\\.\\COM10");
  EXPECT_EQ(PortNameForNumber(12), "\\\\.\\COM12");
  EXPECT_EQ(PortDeviceName("COM3"), "COM3");
  EXPECT_EQ(PortDeviceName("COM9"), "COM9");
  EXPECT_EQ(PortDeviceName("COM10"), "\\\\.\\COM10");
  EXPECT_EQ(PortDeviceName("COM12"), "\\\\.\\COM12");
  EXPECT_EQ(PortDeviceName("\\\\.\\COM12"), "\\\\.\\COM12") << "no second prefix";
}

TEST(NumberText, FloatTextsUseAPointWhateverTheLocale) {
  EXPECT_EQ(ui::FormatFloat6(0.0001f), "0.0001");
  EXPECT_EQ(ui::FormatFloat6(2.5f), "2.5");
  EXPECT_EQ(ui::FormatFloat6(0.0049f), "0.0049");
  float v = 1;
  EXPECT_TRUE(ui::ParseFloat(" 0.00015 ", v));
  EXPECT_FLOAT_EQ(v, 0.00015f);
  for (const char* bad : {"", "abc", "0,0001", "1e999", "0.1x"}) {
    v = 9;
    EXPECT_FALSE(ui::ParseFloat(bad, v)) << bad;
    EXPECT_EQ(v, 9);
  }
}

TEST(ProbeReply, CompleteOnCloseBracketCrLfAndCapped) {
  auto feed = [](ProbeReply& p, const std::string& s) {
    for (char c : s) p.Add(static_cast<std::uint8_t>(c));
    return p.Complete();
  };
  ProbeReply a;
  EXPECT_TRUE(feed(a, "xPELMORA}\r\n")) << "the first byte counts as the bracket";
  ProbeReply b;
  EXPECT_FALSE(feed(b, "{abc]\r\n"));
  ProbeReply c;
  EXPECT_FALSE(feed(c, std::string(600, 'a')));
  EXPECT_TRUE(feed(c, "}\r\n")) << "a long line still ends at the cap";
}

}  // namespace
}  // namespace quillon
