// The simulated USB sensor on a clock the test moves: packets refused the
// way a sensor refuses them, its answers, streamed readings as a function of
// time, and the faults it is told to show.
#include <gtest/gtest.h>

#include "sim/usbsensor/UsbSensor.h"

namespace {

using namespace pelsim::usbsensor;

std::string Pk(const std::string& command, const std::string& code, const std::string& type = "",
               const std::string& data = "") {
  return BuildPacket({command, code, type, data});
}

struct Rig {
  double now = 100.0;
  UsbSensor sensor;
  explicit Rig(SensorProfile profile = {}) : sensor(std::move(profile), [this] { return now; }) {}
};

TEST(UsbSensorPacket, FramesAsTheLinkWritesThemAndRefusesBadOnes) {
  EXPECT_EQ(Pk("1003", "0004"), "\x02" "100300040000072\x03");
  const std::string s = Pk("1003", "0003", "S", "1234567");
  EXPECT_EQ(s.substr(9, 4), "0008");
  EXPECT_EQ(ParsePacket(s).packet, (Packet{"1003", "0003", "S", "1234567"}));
  std::string badSum = s;
  badSum[badSum.size() - 2] = badSum[badSum.size() - 2] == '9' ? '0' : '9';
  std::string badLength = s;
  badLength[12] = '9';
  const struct {
    std::string bytes;
    Refusal why;
  } cases[] = {
      {badSum, Refusal::Checksum},
      {badLength, Refusal::Length},
      {s.substr(0, s.size() - 1), Refusal::Frame},
      {s.substr(1), Refusal::Frame},
      {"\x02" "10x300040000072\x03", Refusal::Digits},
      {s + "x", Refusal::Frame},
  };
  for (const auto& c : cases) {
    const auto p = ParsePacket(c.bytes);
    EXPECT_FALSE(p.packet) << c.bytes;
    EXPECT_EQ(p.refusal, c.why) << c.bytes;
  }
}

TEST(UsbSensor, AnswersIdentificationRangeAndTakesSettings) {
  SensorProfile profile;
  profile.identifier = "7654321";
  profile.sensorId = 23;
  profile.range = 2;
  Rig r(profile);
  auto& s = r.sensor;
  EXPECT_FALSE(s.Send());
  s.Receive(Pk("1003", "0004"));
  s.Receive(Pk("1003", "0002"));
  s.Receive(Pk("1008", "0020"));
  EXPECT_EQ(s.Send(), Pk("1003", "0004", "S", "7654321"));
  EXPECT_EQ(s.Send(), Pk("1003", "0002", "S", "0023"));
  EXPECT_EQ(s.Send(), Pk("1008", "0020", "D", "2"));
  EXPECT_FALSE(s.Send());

  s.Receive(Pk("1003", "0003", "S", "0000001"));
  s.Receive(Pk("1008", "0019", "D", "3"));
  s.Receive(Pk("1008", "0010", "F", "1.5"));
  s.Receive(Pk("9998", "0214", "D", "1"));
  EXPECT_EQ(s.Identifier(), "0000001");
  EXPECT_EQ(s.Range(), 3);
  EXPECT_EQ(s.Stored(), (std::map<std::string, std::string>{{"1008/0010", "1.5"}, {"9998/0214", "1"}}));
  EXPECT_FALSE(s.Send());  // settings are not answered

  std::string bad = Pk("1003", "0004");
  bad[14] = '8';
  s.Receive(bad);  // refused: no reply
  EXPECT_FALSE(s.Send());
  const auto log = s.Log();
  ASSERT_EQ(log.size(), 8u);
  EXPECT_EQ(log[0].packet, (Packet{"1003", "0004", "", ""}));
  EXPECT_EQ(log.back().refusal, Refusal::Checksum);
  EXPECT_EQ(s.LogText().substr(0, 11), "1003 0004  ");
}

TEST(UsbSensor, StreamsReadingsAtItsIntervalFromTheStart) {
  SensorProfile profile;
  profile.offset = 1.5;
  profile.slope = 2.0;
  Rig r(profile);
  auto& s = r.sensor;
  s.Receive(Pk("2002", "0001", "D", "100"));
  EXPECT_FALSE(s.NextDue());
  s.Receive(Pk("2000", "0001"));
  EXPECT_EQ(s.Send(), Pk("3000", "0002", "F", "1.5"));  // reading 0 at the start
  EXPECT_FALSE(s.Send());
  EXPECT_NEAR(*s.NextDue(), 0.1, 1e-9);
  r.now += 0.35;  // readings 1 to 3 are due, one per transfer
  EXPECT_EQ(s.Send(), Pk("3000", "0002", "F", "1.7"));
  EXPECT_EQ(s.Send(), Pk("3000", "0002", "F", "1.9"));
  EXPECT_EQ(s.Send(), Pk("3000", "0002", "F", "2.1"));
  EXPECT_FALSE(s.Send());
  // A one-shot reading is answered before the stream goes on.
  s.Receive(Pk("3000", "0002"));
  EXPECT_EQ(s.Send(), Pk("3000", "0002", "F", "2.2"));  // at 0.35 s
  EXPECT_FALSE(s.Send());
  r.now = 100.45;
  EXPECT_EQ(s.Send(), Pk("3000", "0002", "F", "2.3"));
  s.Receive(Pk("2000", "0000"));
  r.now += 1;
  EXPECT_FALSE(s.Send());
  EXPECT_FALSE(s.Streaming());
}

TEST(UsbSensor, GoesSilentOrLeavesTheBusAfterTheStartAsTold) {
  SensorProfile silent;
  silent.silentAfter = 0.5;
  silent.unplugAfter = -1;
  Rig a(silent);
  a.sensor.Receive(Pk("2000", "0001"));
  EXPECT_TRUE(a.sensor.Send());
  a.now += 0.6;
  EXPECT_FALSE(a.sensor.Send());
  a.sensor.Receive(Pk("1003", "0004"));
  EXPECT_FALSE(a.sensor.Send());
  EXPECT_TRUE(a.sensor.Present());

  SensorProfile gone;
  gone.unplugAfter = 0.2;
  Rig b(gone);
  b.now += 5;
  EXPECT_TRUE(b.sensor.Present());  // not before a start
  b.sensor.Receive(Pk("2000", "0001"));
  b.now += 0.2;
  EXPECT_FALSE(b.sensor.Present());
}

TEST(UsbSensorProfile, CountOrListOfSensors) {
  auto two = ParseSensorProfiles("2");
  ASSERT_TRUE(two);
  ASSERT_EQ(two->size(), 2u);
  EXPECT_EQ((*two)[1].identifier, "1000002");
  auto list = ParseSensorProfiles("id=AB,sensor=23,range=1,offset=0.5,slope=-2;id=,silent=0.4,unplug=1.5");
  ASSERT_TRUE(list);
  ASSERT_EQ(list->size(), 2u);
  EXPECT_EQ((*list)[0].identifier, "AB");
  EXPECT_EQ((*list)[0].sensorId, 23);
  EXPECT_EQ((*list)[0].range, 1);
  EXPECT_EQ((*list)[0].offset, 0.5);
  EXPECT_EQ((*list)[0].slope, -2);
  EXPECT_EQ((*list)[1].identifier, "");
  EXPECT_EQ((*list)[1].silentAfter, 0.4);
  EXPECT_EQ((*list)[1].unplugAfter, 1.5);
  for (const char* bad : {"", "-1", "128", "id=1,sensor=x", "colour=red", "3;"})
    EXPECT_FALSE(ParseSensorProfiles(bad)) << bad;
}

}  // namespace
