// Packets, replies, slot merging, set-up and calibration sequences and the
// record text of the USB sensors.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "devicelink/records/Conversion.h"
#include "devicelink/records/NumberText.h"
#include "devicelink/usb/UsbCommands.h"
#include "devicelink/usb/UsbPacket.h"
#include "devicelink/usb/UsbRecord.h"
#include "devicelink/usb/UsbReply.h"
#include "devicelink/usb/UsbSlots.h"
#include "tests/devicelink/usb/FakeSensors.h"

using namespace pel::usb;

namespace {

TEST(UsbPacket, FieldsLengthAndChecksum) {
  struct Case {
    const char *command, *code, *type;
    std::string data, expected;
  } cases[] = {
      {"1003", "0004", "", "", "\x02" "100300040000" "072" "\x03"},
      {"1003", "0003", "S", "0412345", "\x02" "100300030008S0412345" "005" "\x03"},
      // The length counts the whole type text; only its letter goes out.
      {"1008", "0019", "Dx", "3", "\x02" "100800190003D3" "205" "\x03"},
  };
  for (const auto& c : cases) EXPECT_EQ(BuildUsbPacket(c.command, c.code, c.type, c.data), c.expected) << c.code;
  EXPECT_EQ(BuildUsbPacket("1003", "0004", "", "").size(), 17u);
  // Wider than its field: written in full, never cut.
  EXPECT_EQ(BuildUsbPacket("1008", "0019", "D", std::string(10000, '1')).substr(9, 5), "10001");
  EXPECT_EQ(PadDigits(7, 3), "007");
  EXPECT_EQ(PadDigits(12345, 4), "12345");
}

TEST(UsbPacket, RealsInGeneralFormatWithAPoint) {
  EXPECT_EQ(FormatUsbReal(0.5), "0.5");
  EXPECT_EQ(FormatUsbReal(-2.0), "-2");
  EXPECT_EQ(FormatUsbReal(1.0 / 3.0), "0.333333333333333");
  EXPECT_EQ(FormatUsbReal(1e-20), "1e-20");
}

// Fifteen digits of the largest doubles round past the largest double; such
// a text is refused by the reader, so those get seventeen.
TEST(UsbPacket, EveryFiniteRealReadsBack) {
  const double max = std::numeric_limits<double>::max();
  for (double v : {max, -max, std::nextafter(max, 0.0), 1.7976931348623e308, 0.1, -123.456,
                   std::numeric_limits<double>::denorm_min(), std::numeric_limits<double>::min()}) {
    const std::string text = FormatUsbReal(v);
    double back = 0;
    EXPECT_TRUE(pel::records::ParseNumber(text, back)) << text;
    EXPECT_LE(std::fabs(back - v), std::fabs(v) * 1e-14) << text;
  }
  EXPECT_EQ(FormatUsbReal(-max), "-1.7976931348623157e+308");
  EXPECT_EQ(FormatUsbReal(1.7976931348623e308), "1.7976931348623e+308");  // 15 digits still do
}

UsbReply parse(const std::vector<std::uint8_t>& b) { return ParseUsbReply(b.data(), b.size()); }
std::vector<std::uint8_t> bytes(const std::string& s) { return {s.begin(), s.end()}; }

TEST(UsbReply, ValuesTextsAndSeries) {
  auto d = parse(fakeusb::Reply("3000", "0002", "D", "123"));
  EXPECT_TRUE(d.IsReading());
  EXPECT_EQ(d.value, 123);
  EXPECT_EQ(d.text, "123");
  auto f = parse(fakeusb::Reply("3000", "0002", "f", "-1.25"));
  EXPECT_EQ(f.value, -1.25);
  auto s = parse(fakeusb::Reply("1003", "0004", "S", "0412345"));
  EXPECT_FALSE(s.IsReading());
  EXPECT_EQ(s.text, "0412345");
  EXPECT_TRUE(s.hasText);
  auto b = parse(fakeusb::SeriesReply({1, 2, 0, 5}));
  EXPECT_EQ(b.series, (std::vector<double>{0.000001, 0.000002}));
  EXPECT_EQ(b.value, 0.000001);
  EXPECT_EQ(b.text, "");
  auto empty = parse(fakeusb::Reply("1008", "0100", "", ""));
  EXPECT_TRUE(empty.valid);
  EXPECT_FALSE(empty.hasText);
}

TEST(UsbReply, SeriesStopsAtSixteenAndTakesOnlyWholeNumbers) {
  std::vector<std::uint32_t> n(20, 0x0f4240);  // 1000000 = 1.0
  EXPECT_EQ(parse(fakeusb::SeriesReply(n)).series.size(), 16u);
  // Data of 4 bytes: one whole number, the stray byte is not read with the checksum.
  auto r = parse(fakeusb::Reply("3000", "0002", "B", std::string("\x00\x00\x07\x00", 4)));
  EXPECT_EQ(r.series, std::vector<double>{0.000007});
}

TEST(UsbReply, MalformedRepliesChangeNothing) {
  const std::string ok = pel::usb::BuildUsbPacket("3000", "0002", "D", "12");
  std::string badCommand = ok;
  badCommand[2] = 'x';
  std::string badLength = ok;
  badLength[12] = '9';  // points past the bytes received
  const std::string cases[] = {badCommand, badLength, ok.substr(0, 10), BuildUsbPacket("3000", "0002", "D", "1.5"),
                               BuildUsbPacket("3000", "0002", "F", "1,5"), BuildUsbPacket("3000", "0002", "D", "")};
  for (const auto& c : cases) EXPECT_FALSE(parse(bytes(c)).valid) << c;
}

UsbSlotTable table(std::vector<std::string> ids) {
  UsbSlotTable t{};
  for (std::size_t i = 0; i < t.size(); ++i) t[i] = {static_cast<int>(i), i < ids.size() ? ids[i] : ""};
  return t;
}

TEST(UsbSlots, MergeKeepsChannelsAndClosesUp) {
  struct Case {
    const char* name;
    std::vector<std::string> stored, present;
    std::vector<UsbSlot> expected;  // the first slots; the rest are (-1, "")
  } cases[] = {
      {"same sensors, new order", {"a", "b", "c"}, {"c", "a", "b"}, {{1, "a"}, {2, "b"}, {0, "c"}}},
      {"B unplugged: C moves to B", {"a", "b", "c"}, {"a", "c"}, {{0, "a"}, {1, "c"}}},
      {"a new sensor takes the next slot", {"a"}, {"n", "a"}, {{1, "a"}, {0, "n"}}},
      {"a repeated stored identifier serves once", {"a", "a"}, {"a", "b"}, {{0, "a"}, {1, "b"}}},
      {"nothing stored", {}, {"x", "y"}, {{0, "x"}, {1, "y"}}},
  };
  for (const auto& c : cases) {
    auto t = table(c.stored);
    MergeSlots(t, c.present);
    for (std::size_t i = 0; i < t.size(); ++i) {
      const UsbSlot want = i < c.expected.size() ? c.expected[i] : UsbSlot{-1, ""};
      EXPECT_EQ(t[i], want) << c.name << " slot " << i;
    }
  }
}

TEST(UsbSlots, NewIdentifierIsTheTimeMovedOnPastTakenOnes) {
  EXPECT_EQ(NewIdentifier(4, 5, 67, {}), "0405067");
  EXPECT_EQ(NewIdentifier(4, 5, 67, {"0405067", "0405068"}), "0405069");
  EXPECT_EQ(TrimBlanks("  ab c\t "), "ab c");
}

TEST(UsbCommands, RunSetupByPosition) {
  RunSetup analog;
  analog.samplingTime = 0.0125;  // 12.5 ms rounds to even
  analog.adc = true;
  EXPECT_EQ(RunSetupPackets(analog), (std::vector<UsbCommand>{Packet("2001", "0000"), Packet("2002", "0001", "D", "12"),
                                                               Packet("1004", "0000")}));
  // Rounded half to even into the packet's integer, whatever the time.
  const std::pair<double, const char*> times[] = {{0.0125, "12"}, {1e300, "2147483647"}, {-1.0, "0"},
                                                  {std::numeric_limits<double>::quiet_NaN(), "0"}};
  for (const auto& [t, ms] : times) {
    analog.samplingTime = t;
    EXPECT_EQ(RunSetupPackets(analog)[1], Packet("2002", "0001", "D", ms)) << t;
  }
  RunSetup digital;
  digital.digitalPosition = true;
  digital.noOfStroboSlit = 3;
  struct Case {
    std::array<bool, 3> options;
    std::string mode;  // "" none
  } cases[] = {{{true, true, true}, "0000"}, {{false, true, true}, "0003"}, {{false, true, false}, "0001"},
               {{false, false, true}, "0002"}, {{false, false, false}, ""}};
  for (const auto& c : cases) {
    digital.digitalTiming = c.options;
    std::vector<UsbCommand> want{Packet("2001", "0001")};
    if (!c.mode.empty()) want.push_back(Packet("2004", "0000", "D", c.mode));
    want.push_back(Packet("2005", "0000", "D", "3"));
    want.push_back(Packet("1004", "0001"));
    EXPECT_EQ(RunSetupPackets(digital), want) << c.mode;
  }
}

TEST(UsbCommands, CalibrationOnResetAndTwoSegments) {
  pel::setup::CalibrationOrder on;
  on.on = true;
  on.coefficients = {0.5, 2, -1.25};
  EXPECT_EQ(CalibrationPackets(on, 1),
            (std::vector<UsbCommand>{Packet("1008", "0019", "D", "3"), Packet("1008", "0009", "F", "0.5"),
                                     Packet("1008", "0010", "F", "2"), Packet("1008", "0011", "F", "-1.25"),
                                     Packet("1008", "0100")}));
  on.twoSegment = true;
  on.second = {0, 1.5, 0.25};
  on.segmentBreak = 7.0;  // 7000 = 27 * 256 + 88
  const auto two = CalibrationPackets(on, 1);
  ASSERT_EQ(two.size(), 16u);
  EXPECT_EQ(two[4], Packet("1008", "0012", "F", "0"));
  EXPECT_EQ(two[5], Packet("1008", "0013", "F", "1.5"));
  EXPECT_EQ(two[6], Packet("1008", "0014", "F", "0.25"));
  const char* nines[][2] = {{"0212", "0"}, {"0213", "0"},  {"0214", "27"}, {"0215", "88"},
                            {"0216", "27"}, {"0217", "89"}, {"0218", "54"}, {"0219", "176"}};
  for (int i = 0; i < 8; ++i) EXPECT_EQ(two[static_cast<std::size_t>(7 + i)], Packet("9998", nines[i][0], "D", nines[i][1]));
  EXPECT_EQ(two.back(), Packet("1008", "0100"));

  pel::setup::CalibrationOrder reset;
  EXPECT_EQ(CalibrationPackets(reset, 2), std::vector<UsbCommand>{Packet("1008", "0019", "D", "2")});
  reset.twoSegment = true;
  const auto r = CalibrationPackets(reset, 0);
  ASSERT_EQ(r.size(), 8u);
  const char* values[] = {"0", "1", "0", "0", "1", "0"};
  for (int i = 0; i < 6; ++i) EXPECT_EQ(r[static_cast<std::size_t>(1 + i)].data, values[i]);
  EXPECT_EQ(r[6].code, "0014");
  EXPECT_EQ(r.back(), Packet("1008", "0100"));
}

// A calibration whose numbers no packet can carry goes out not at all: no
// cast sees a break of 1e16 (once sent as "-36028797018963968"), and no
// coefficient that is not finite is written.
TEST(UsbCommands, CalibrationThePacketsCannotCarrySendsNothing) {
  pel::setup::CalibrationOrder on;
  on.on = true;
  on.twoSegment = true;
  on.segmentBreak = 1e16;
  EXPECT_TRUE(CalibrationPackets(on, 1).empty());
  on.segmentBreak = 7.0;
  on.second.linear = std::numeric_limits<double>::infinity();
  EXPECT_TRUE(CalibrationPackets(on, 1).empty());
  on.twoSegment = false;  // the second segment is not sent: the rest goes
  EXPECT_EQ(CalibrationPackets(on, 1).size(), 5u);
  on.coefficients.constant = std::numeric_limits<double>::quiet_NaN();
  EXPECT_TRUE(CalibrationPackets(on, 1).empty());
}

TEST(UsbRecord, EightValuesQuantisedConvertedAndInverted) {
  pel::records::StreamContext ctx;
  ctx.own.samplingTime = 0.5;
  for (auto& c : ctx.own.channels) c.resolution = {0.01, 0.1, 1, 0.000001};
  ctx.own.channels[0].active = true;
  ctx.own.channels[1].active = true;
  ctx.own.channels[1].rangeIndex = 1;
  ctx.own.channels[1].signInvert = true;
  ctx.own.channels[2].active = true;
  ctx.own.channels[2].rangeIndex = 7;  // no resolution for it: the value stays
  ctx.own.channels[3].active = true;   // its reading is 0: the offset still shows
  ctx.convert[0] = {1, 2.0, 0.5};  // A goes through its formula
  ctx.convert[3] = {1, 1.0, -2.5};
  ctx.convert[5] = {1, 1.0, 4.0};  // inactive, reading 0: converted too
  std::array<double, 8> v{1.234, 2.26, 3.14159, 0, 9, 0, 0, 0};  // E inactive with a reading
  const std::string r = FormatUsbRecord(ctx, v, 3, 1.0);
  const double a = pel::records::ConvertValue(ctx.convert, 0, 1.23);
  EXPECT_EQ(r, "3,1.00000000," + pel::records::FormatFixed(a, 10, 6) +
                   ", -2.300000,  3.141590, -2.500000,0.0,  4.000000,  0.000000,  0.000000;");
}

TEST(UsbRecord, CountersRaiseAndStop) {
  pel::records::StreamContext ctx;
  ctx.own.samplingTime = 0.2;
  ctx.own.autoStop = true;
  ctx.own.noOfData = 2;
  UsbRunCounters c{-1, 0};
  const std::array<double, 8> v{};
  EXPECT_FALSE(NextUsbRecord(c, ctx, v, true, true).made);  // the first reading after a short start
  auto one = NextUsbRecord(c, ctx, v, true, true);
  EXPECT_TRUE(one.made && one.raise && !one.stop);
  EXPECT_EQ(one.record.substr(0, 13), "1,0.00000000,");
  auto two = NextUsbRecord(c, ctx, v, true, true);
  EXPECT_TRUE(two.raise && two.stop);
  EXPECT_EQ(two.record.substr(0, 12), "2,0.20000000");
  // A reading that raced the stop: no record at all, so none goes to the
  // recent-records list either.
  const auto three = NextUsbRecord(c, ctx, v, true, true);
  EXPECT_FALSE(three.made || three.raise);
  ctx.own.setZeroMode = true;  // zero setting is not bound by the plan: listed, not raised
  const auto four = NextUsbRecord(c, ctx, v, true, true);
  EXPECT_TRUE(four.made);
  EXPECT_FALSE(four.raise || four.stop);
  EXPECT_TRUE(NextUsbRecord(c, ctx, v, true, false).stop);  // the experiment ended meanwhile
  EXPECT_FALSE(NextUsbRecord(c, ctx, v, false, true).raise);
}

}  // namespace
