// The USB sensor side over simulated sensors: enumeration and the stored
// slots, identification, the start and stop packets, poll passes with their
// records, and the hand-over of a calibration.
#include <gtest/gtest.h>

#include <algorithm>

#include "devicelink/usb/UsbRecord.h"
#include "devicelink/usb/UsbSensorSide.h"
#include "tests/devicelink/usb/FakeSensors.h"
#include "tests/devicelink/usb/FakeSideParts.h"

using namespace pel::usb;

namespace {

class Bus final : public UsbSensorBus {
 public:
  std::vector<fakeusb::Sensor> sensors;
  int counts = 0, reopens = 0, pumps = 0;
  bool libusb = false, throwOnCount = false;
  int Count() override {
    ++counts;
    if (throwOnCount) throw std::runtime_error("driver handle");
    return static_cast<int>(sensors.size());
  }
  void Reopen() override { ++reopens; }
  bool Write(int d, const std::string& packet) override {
    if (d < 0 || d >= static_cast<int>(sensors.size())) return false;
    sensors[static_cast<std::size_t>(d)].Take(packet);
    return true;
  }
  std::size_t Read(int d, std::uint8_t* b, std::size_t max) override {
    if (d < 0 || d >= static_cast<int>(sensors.size())) return 0;
    return sensors[static_cast<std::size_t>(d)].Give(b, max);
  }
  bool ReadsUntilSilent() const override { return libusb; }
  void Pump() override { ++pumps; }
};

struct Rig : fakeusb::SideTables {
  Bus bus;
  fakeusb::Store store;
  TimeOfDay now{12, 34, 567};
  UsbSensorSide side{bus, store, Tables(), [this] { return now; }};

  explicit Rig(std::vector<std::string> identifiers) {
    for (auto& id : identifiers) {
      fakeusb::Sensor s;
      s.identifier = id;
      bus.sensors.push_back(s);
    }
  }
};

TEST(UsbSensorSide, EnumerationGivesRepeatedAndBlankIdentifiersNewOnesAndStoresTheSlots) {
  Rig r({"0400001", "0400001", "  "});
  r.bus.sensors[1].range = "2";
  r.bus.sensors[0].range = "3";
  r.side.Enumerate(false);
  EXPECT_EQ(r.found, 3);
  EXPECT_EQ(r.bus.reopens, 1);
  EXPECT_EQ(r.store.ids[0], "0400001");
  EXPECT_EQ(r.store.ids[1], "1234567");
  EXPECT_EQ(r.store.ids[2], "1234568");  // the same millisecond still gives a new one
  EXPECT_EQ(r.store.ids[3], "");
  EXPECT_EQ(r.bus.sensors[1].identifier, "1234567");
  const std::vector<std::string> renamed{"1003/0004", "1003/0003/S/1234567", "1008/0100", "3000/0002", "1008/0020"};
  EXPECT_EQ(r.bus.sensors[1].Keys(), renamed);
  EXPECT_EQ(r.bus.sensors[0].Keys(), (std::vector<std::string>{"1003/0004", "1008/0020"}));
  EXPECT_EQ(r.ranges[0], 3);
  EXPECT_EQ(r.ranges[1], 2);
  EXPECT_EQ(r.slots[3], (UsbSlot{-1, ""}));

  // Unchanged count, not forced: nothing is asked.
  r.bus.sensors[0].sent.clear();
  r.side.Enumerate(false);
  EXPECT_TRUE(r.bus.sensors[0].sent.empty());
  EXPECT_EQ(r.bus.reopens, 1);
}

TEST(UsbSensorSide, SensorsKeepTheirChannelsAcrossEnumerations) {
  Rig r({"a", "b", "c"});
  r.side.Enumerate(true);
  // The sensor of B goes; the bus now lists c before a.
  r.bus.sensors = {r.bus.sensors[2], r.bus.sensors[0]};
  r.side.Enumerate(false);
  EXPECT_EQ(r.found, 2);
  EXPECT_EQ(r.slots[0], (UsbSlot{1, "a"}));
  EXPECT_EQ(r.slots[1], (UsbSlot{0, "c"}));
  EXPECT_EQ(r.store.ids[2], "");
}

TEST(UsbSensorSide, CountFailureReachesTheCaller) {
  Rig r({"a"});
  r.bus.throwOnCount = true;
  EXPECT_THROW(r.side.Enumerate(true), std::runtime_error);
  // Identification swallows it: no channel has a sensor.
  const auto ids = r.side.Identify();
  EXPECT_EQ(ids.ids[0], -1);
  EXPECT_FALSE(ids.active[0]);
}

TEST(UsbSensorSide, IdentifyReadsEachSlotsSensor) {
  Rig r({"a", "b", "c"});
  r.bus.sensors[0].sensorId = "  S021 ";
  r.bus.sensors[1].sensorId = "S014";
  r.bus.sensors[1].query = "g";
  r.bus.sensors[2].sensorId = "S0x4";  // not a number: enumerated again, forced
  const auto ids = r.side.Identify();
  EXPECT_EQ(ids.ids[0], 21);
  EXPECT_EQ(ids.ids[1], 114);
  EXPECT_EQ(ids.ids[2], -1);
  EXPECT_TRUE(ids.active[0] && ids.active[1]);
  EXPECT_FALSE(ids.active[2]);
  EXPECT_EQ(ids.ids[3], -1);
  EXPECT_EQ(r.bus.reopens, 2);
  const auto keys = r.bus.sensors[1].Keys();
  const std::vector<std::string> reconfigure{"1003/0002", "1006/0002", "1003/0001/S/0114", "1008/0100"};
  EXPECT_NE(std::search(keys.begin(), keys.end(), reconfigure.begin(), reconfigure.end()), keys.end());
}

TEST(UsbSensorSide, RunSetupAndStartGoToEachChannelsSensor) {
  Rig r({"a", "b"});
  r.store.ids = {"b", "a"};  // channel A is served by device 1
  r.side.Enumerate(true);
  for (auto& s : r.bus.sensors) s.sent.clear();
  RunSetup base;
  base.samplingTime = 1.0;
  r.side.SetUpRun(base, true, 0);  // digital input on channel A
  EXPECT_EQ(r.bus.sensors[1].Keys().front(), "2001/0001");
  EXPECT_EQ(r.bus.sensors[0].Keys().front(), "2001/0000");
  for (auto& s : r.bus.sensors) s.sent.clear();
  UsbRunCounters c;
  r.side.StartSensors(true, true, 0, 1.0, c);
  EXPECT_EQ(r.bus.sensors[1].Keys(), std::vector<std::string>{"2000/0001"});
  EXPECT_TRUE(r.bus.sensors[0].Keys().empty());
  EXPECT_EQ(c.record, 0);
  r.side.StartSensors(true, false, 0, 0.5, c);
  EXPECT_EQ(c.record, -1);
  r.bus.sensors[0].Push(1);
  r.side.StartSensors(false, false, 0, 0.5, c);
  EXPECT_EQ(r.bus.sensors[0].Keys().back(), "2000/0000");
  EXPECT_TRUE(r.bus.sensors[0].out.empty());  // drained
}

// Records as the component builds them, and the run's end.
class Sink final : public PassSink {
 public:
  pel::records::StreamContext ctx;
  UsbRunCounters counters;
  std::vector<std::string> raised;
  bool going = true;
  int rounds = 0, repeatRounds = 0;
  bool Record(const std::array<double, 8>& v) override {
    auto step = NextUsbRecord(counters, ctx, v, going, going);
    if (!step.made) return true;
    if (step.raise) raised.push_back(step.record);
    if (step.stop) going = false;
    return !step.stop;
  }
  bool Repeat() override { return ++rounds < repeatRounds; }
};

TEST(UsbSensorSide, PollPassesMakeOneRecordPerReadingAndStopAtTheLast) {
  Rig r({"a", "b", "c", "d", "e"});
  r.side.Enumerate(true);
  Sink sink;
  sink.ctx.own.samplingTime = 1.0;
  sink.ctx.own.autoStop = true;
  sink.ctx.own.noOfData = 3;
  for (int i = 0; i < 5; ++i) sink.ctx.own.channels[static_cast<std::size_t>(i)].active = true;
  sink.ctx.own.channels[1].resolution[0] = 0.5;
  pel::setup::CalibrationHandOver cal;
  r.bus.sensors[1].Push(2.2);
  r.bus.sensors[0].Push(1.0);
  r.side.PollPass(false, sink, cal);
  ASSERT_EQ(sink.raised.size(), 1u);
  // Channels with a reading of 0, active or not, write their (converted) 0.
  EXPECT_EQ(sink.raised[0],
            "1,0.00000000,  1.000000,  2.000000,  0.000000,  0.000000,  0.000000,  0.000000,  0.000000,  0.000000;");
  // Nothing from channel A's sensor: no record.
  r.side.PollPass(false, sink, cal);
  EXPECT_EQ(sink.raised.size(), 1u);
  // A series: a record for each of its readings, up to the last one planned.
  r.bus.sensors[0].out.push_back(fakeusb::SeriesReply({1000000, 2000000, 3000000, 4000000}));
  r.side.PollPass(false, sink, cal);
  ASSERT_EQ(sink.raised.size(), 3u);
  EXPECT_EQ(sink.raised[1].substr(0, 23), "2,1.00000000,  1.000000");
  EXPECT_EQ(sink.raised[2].substr(0, 23), "3,2.00000000,  2.000000");
  EXPECT_FALSE(sink.going);
}

TEST(UsbSensorSide, DigitalPassAsksTheOtherSensorsAndThreadPassesRepeat) {
  Rig r({"a", "b"});
  r.side.Enumerate(true);
  Sink sink;
  sink.repeatRounds = 3;
  pel::setup::CalibrationHandOver cal;
  for (int i = 0; i < 5; ++i) r.bus.sensors[0].Push(i + 1);
  r.side.PollPass(true, sink, cal);
  EXPECT_EQ(sink.rounds, 3);
  EXPECT_EQ(sink.raised.size(), 3u);
  const auto keys = r.bus.sensors[1].Keys();
  EXPECT_EQ(std::count(keys.begin(), keys.end(), "3000/0002"), 3);
}

TEST(UsbSensorSide, PendingCalibrationGoesToItsChannelsSensorAfterThePass) {
  Rig r({"a", "b"});
  r.store.ids = {"b", "a"};
  r.side.Enumerate(true);
  r.ranges[1] = 2;
  pel::setup::CalibrationHandOver cal;
  cal.AddPoint({1, 2});
  pel::setup::CalibrationOrder reset;
  reset.channel = 1;  // channel B: device 0
  cal.Publish(reset);
  Sink sink;
  sink.repeatRounds = 100;
  r.bus.sensors[1].Push(1);
  r.side.PollPass(false, sink, cal);
  EXPECT_EQ(sink.rounds, 0);  // a waiting calibration ends the round
  EXPECT_EQ(r.bus.sensors[0].Keys().back(), "1008/0019/D/2");
  EXPECT_FALSE(cal.Pending());
  EXPECT_EQ(cal.PointCount(), 0);
  // Also sent when the pass read nothing.
  cal.Publish(reset);
  r.side.PollPass(false, sink, cal);
  EXPECT_FALSE(cal.Pending());
}

TEST(UsbSensorSide, RepliesAcrossReadsAndOversizedOnes) {
  Rig r({"a"});
  r.side.Enumerate(true);
  auto reply = fakeusb::Reply("3000", "0002", "D", "77");
  r.bus.sensors[0].out.push_back({reply.begin(), reply.begin() + 6});
  r.bus.sensors[0].out.push_back({reply.begin() + 6, reply.end()});
  EXPECT_TRUE(r.side.PollPosition(0));
  EXPECT_FALSE(r.fresh);
  EXPECT_TRUE(r.side.PollPosition(0));
  EXPECT_TRUE(r.fresh);
  EXPECT_EQ(r.latest[0], 77);
  // A reply longer than the receive buffer is dropped; the next one reads.
  r.bus.sensors[0].out.push_back(std::vector<std::uint8_t>(1024, '7'));
  r.bus.sensors[0].out.push_back(std::vector<std::uint8_t>(1024, '7'));
  r.bus.sensors[0].Push(5);
  for (int i = 0; i < 3; ++i) r.side.PollPosition(0);
  EXPECT_EQ(r.latest[0], 5);
}

TEST(UsbSensorSide, LibusbReadsUntilQuietButNotDuringARun) {
  Rig r({"a"});
  r.bus.libusb = true;
  r.bus.sensors[0].Push(1);
  r.bus.sensors[0].out.push_back(fakeusb::Reply("1003", "0004", "S", "last"));
  EXPECT_EQ(r.side.Read(0, true), "last");
  r.bus.sensors[0].Push(1);
  EXPECT_EQ(r.side.Read(0, true, true), "");
  EXPECT_TRUE(r.bus.sensors[0].out.empty());
}

}  // namespace
