// The device link with simulated USB sensors over the shipped paths: the
// connect with its identification and stored slot list, runs polled by the
// timer and by the polling thread with every record known in advance, the
// range and calibration packets, the one-shot reading, the close, the path
// taken under Wow64, and sensors that fail mid-run.
#include <algorithm>
#include <cstdio>

#include "UsbSimRig.h"

namespace usbsim {
namespace {

using Packets = std::vector<std::string>;

// Two sensors: A ramps from 1.5 by 2 per second, B holds -0.25.
const char* const kTwo = "id=1000001,sensor=21,offset=1.5,slope=2;id=1000002,sensor=22,offset=-0.25,slope=0";

// Record k of a 0.1 s run over kTwo: reading k of A, B's value, six zeros.
std::string Expected(int k, double b = -0.25) {
  char buf[160];
  std::snprintf(buf, sizeof buf, "%d,%10.8f,%10.6f,%10.6f", k, (k - 1) * 0.1, 1.5 + 2 * (k * 0.1), b);
  std::string r = buf;
  for (int i = 0; i < 6; ++i) r += ",  0.000000";
  return r + ";";
}

const Packets kStartStop = {"2001 0000  ", "2002 0001 D 100", "1004 0001  ", "2000 0001  ", "2000 0000  "};

TEST_F(UsbSimTest, ConnectIdentifiesAndKeepsChannelsAcrossAReconnectInAnotherOrder) {
  Choose("id=1000001,sensor=21;id=1000002,sensor=22,range=1");
  Connect();
  EXPECT_EQ(State().useLibUsb, kWow64);
  EXPECT_EQ(State().usbTimeoutMs, kWow64 ? 100 : 1000);
  EXPECT_EQ(State().usbFoundCount, 2);
  EXPECT_EQ(Slot(0), "1000001");
  EXPECT_EQ(Slot(1), "1000002");
  EXPECT_EQ(Slot(2), "");
  EXPECT_EQ(p->CHAID(), 21);
  EXPECT_EQ(p->CHBID(), 22);
  EXPECT_TRUE(p->CHA() && p->CHB());
  EXPECT_FALSE(p->CHC());
  EXPECT_EQ(p->SensorRangeB(), SensorRangeType::General_Purpose);
  const auto& ch = State().sensors.ch;
  EXPECT_EQ(ch[0].name, "Force");
  EXPECT_EQ(ch[0].unit, "N");
  EXPECT_EQ(ch[0].resolution[0], 0.01);
  EXPECT_EQ(ch[1].name, "Pressure");
  EXPECT_EQ(ch[1].resolution[0], 0.05);
  const Packets first = Log(0);
  ASSERT_GE(first.size(), 3u);
  EXPECT_EQ(first[0], "1003 0004  ");  // its identifier first
  EXPECT_EQ(std::count(first.begin(), first.end(), "1008 0020  "), 1);
  EXPECT_EQ(std::count(first.begin(), first.end(), "refused"), 0);
  EXPECT_TRUE(errors.empty());
  EXPECT_EQ(p->CloseComm(), 0);

  // Plugged in again the other way round, with a third: A and B keep their
  // sensors, the new one takes the next channel.
  Choose("id=1000002,sensor=22,range=1;id=1000003,sensor=23;id=1000001,sensor=21");
  ASSERT_EQ(p->InitializeComm(), 0);
  EXPECT_EQ(Slot(0), "1000001");
  EXPECT_EQ(Slot(1), "1000002");
  EXPECT_EQ(Slot(2), "1000003");
  EXPECT_EQ(State().usbSlots[0].device, 2);
  EXPECT_EQ(State().usbSlots[1].device, 0);
  EXPECT_EQ(p->CHAID(), 21);
  EXPECT_EQ(p->CHBID(), 22);
  EXPECT_EQ(p->CHCID(), 23);
  EXPECT_EQ(ch[2].name, "Light");
  EXPECT_EQ(ch[2].unit, "lx");

  // AutoSensorID after the sensor of B went: C's sensor moves up.
  Choose("id=1000003,sensor=23;id=1000001,sensor=21");
  ASSERT_EQ(p->AutoSensorID(), 0);
  EXPECT_EQ(Slot(1), "1000003");
  EXPECT_EQ(Slot(2), "");
  EXPECT_EQ(p->CHBID(), 23);
  EXPECT_EQ(ch[1].name, "Light");
  EXPECT_FALSE(p->CHC());
  EXPECT_TRUE(errors.empty());
}

TEST_F(UsbSimTest, SensorsWithARepeatedOrBlankIdentifierAreGivenNewOnes) {
  Choose("id=5555555,sensor=21;id=5555555,sensor=22;id=,sensor=23");
  Connect();
  EXPECT_EQ(Slot(0), "5555555");
  for (int i : {1, 2}) {
    SCOPED_TRACE(i);
    const std::string id = Slot(i);
    EXPECT_EQ(id.size(), 7u);
    EXPECT_NE(id, "5555555");
    const Packets sent = Log(i);
    EXPECT_NE(std::find(sent.begin(), sent.end(), "1003 0003 S " + id), sent.end());
  }
  EXPECT_EQ(p->CHBID(), 22);
  EXPECT_EQ(p->CHCID(), 23);
}

// Splits a record at its commas.
std::vector<std::string> Fields(const std::string& r) {
  std::vector<std::string> out(1);
  for (char c : r) {
    if (c == ',')
      out.emplace_back();
    else
      out.back() += c;
  }
  return out;
}

class UsbSimRunTest : public UsbSimTest, public ::testing::WithParamInterface<bool> {};

TEST_P(UsbSimRunTest, AutoStopRunGivesElevenKnownRecords) {
  const bool thread = GetParam();
  Choose(kTwo);
  Connect();
  p->SamplingTime(0.1);
  p->ExperimentLength(1.0);
  p->AutoStop(true);
  p->ThreadType(thread);
  Records records;
  int stops = 0;
  p->DataReceived([&](TPelmora&, const std::wstring& r) { records.Take(r); });
  p->StopExperiment([&](TPelmora&) { ++stops; });
  const std::size_t before0 = Log(0).size(), before1 = Log(1).size();
  ASSERT_EQ(p->Pelmora(true), 0);
  ASSERT_TRUE(PumpUntil([&] { return p->RunningMode() == 0; })) << records.Copy().size() << " records";
  const auto got = records.Copy();
  ASSERT_EQ(got.size(), 11u);
  for (int k = 1; k <= 11; ++k) EXPECT_EQ(got[static_cast<std::size_t>(k - 1)], Expected(k)) << k;
  EXPECT_EQ(records.offMain, thread);
  EXPECT_EQ(stops, 1);
  EXPECT_EQ(LogFrom(0, before0), kStartStop);
  EXPECT_EQ(LogFrom(1, before1), kStartStop);
  EXPECT_TRUE(errors.empty());
}

INSTANTIATE_TEST_SUITE_P(TimerAndThread, UsbSimRunTest, ::testing::Bool());

TEST_F(UsbSimTest, RangeForEveryOrdinalAndTheOneShotReading) {
  Choose("id=1000001,sensor=21,offset=4.25,slope=0;id=1000002,sensor=22,offset=-0.25,slope=0");
  Connect();
  for (int r = 0; r <= 3; ++r) {
    const std::size_t before = Log(0).size();
    EXPECT_EQ(p->SensorRangeSetting(1, r), 0) << r;
    EXPECT_EQ(LogFrom(0, before), (Packets{"1008 0019 D " + std::to_string(r)})) << r;
    EXPECT_EQ(static_cast<int>(p->SensorRangeA()), r);
  }
  const std::size_t before0 = Log(0).size(), before1 = Log(1).size();
  EXPECT_EQ(p->SensorRangeSetting(1, 4), 14);
  EXPECT_EQ(p->SensorRangeSetting(2, 1), 13);  // sensor 22 has one range
  EXPECT_EQ(Log(0).size(), before0);
  EXPECT_EQ(Log(1).size(), before1);
  EXPECT_EQ(errors, (std::vector<int>{14, 13}));

  // Ordinal 3 has the USB resolution (0.000001): the value comes through whole.
  const std::string v = p->GetCurrentValue();
  EXPECT_EQ(v.substr(0, 22), "  4.250000, -0.250000,") << v;
  EXPECT_EQ(LogFrom(0, before0), (Packets{"1004 0001  ", "3000 0002  "}));
}

TEST_F(UsbSimTest, CalibrationPointsGoToTheSensorAtTheNextPass) {
  Choose(kTwo);
  Connect();
  p->SamplingTime(0.1);
  p->SetZeroMode(true);
  Records records;
  p->DataReceived([&](TPelmora&, const std::wstring& r) { records.Take(r); });
  ASSERT_EQ(p->Pelmora(true), 0);
  for (double y : {10.0, 20.0, 30.0}) {
    const std::size_t seen = records.Copy().size();
    ASSERT_TRUE(PumpUntil([&] { return records.Copy().size() >= seen + 2; }));
    EXPECT_TRUE(p->SetCalibratData(1, y));
  }
  const std::size_t before = Log(0).size();
  ASSERT_EQ(p->SensorZeroSetting(1, true), 0);
  ASSERT_TRUE(PumpUntil([&] { return !p->Outputs().calibration.Pending(); }));
  const Packets sent = LogFrom(0, before);
  ASSERT_EQ(sent.size(), 5u);
  EXPECT_EQ(sent[0], "1008 0019 D 3");
  EXPECT_EQ(sent[1].substr(0, 12), "1008 0009 F ");
  EXPECT_EQ(sent[2].substr(0, 12), "1008 0010 F ");
  EXPECT_EQ(sent[3].substr(0, 12), "1008 0011 F ");
  EXPECT_EQ(sent[4], "1008 0100  ");
  p->Pelmora(false);
  EXPECT_TRUE(errors.empty());
}

TEST_F(UsbSimTest, CloseCommStopsTheSensorsAndClosesTheirHandles) {
  Choose(kTwo);
  Connect();
  EXPECT_GT(OpenHandles(), 0);
  Records records;
  p->DataReceived([&](TPelmora&, const std::wstring& r) { records.Take(r); });
  p->SamplingTime(0.1);
  ASSERT_EQ(p->Pelmora(true), 0);
  ASSERT_TRUE(PumpUntil([&] { return records.Copy().size() >= 2; }));
  EXPECT_EQ(p->CloseComm(), 0);
  EXPECT_EQ(Log(0).back(), "2000 0000  ");
  EXPECT_EQ(Log(1).back(), "2000 0000  ");
  EXPECT_EQ(OpenHandles(), 0);
  EXPECT_EQ(p->PelmoraType(), "none");
}

TEST_F(UsbSimTest, WithNoSensorBehindVantiroTheLinkTakesLibusb) {
  if (kWow64) GTEST_SKIP() << "under Wow64 the link takes libusb from the start";
  ASSERT_GE(vantiro.set("0"), 0);
  ASSERT_EQ(usbsim_set_sensors(kTwo), 2);
  Connect();
  EXPECT_TRUE(State().useLibUsb);
  EXPECT_EQ(p->CHAID(), 21);
  EXPECT_EQ(p->CHBID(), 22);
  EXPECT_EQ(usbsim_open_handles(), 2);
  EXPECT_EQ(usbsim_last_timeout(), 1000);  // not under Wow64
  EXPECT_EQ(p->CloseComm(), 0);
  EXPECT_EQ(usbsim_open_handles(), 0);
}

TEST_F(UsbSimTest, UnderWow64TheLibusbPathRunsWithItsShortTimeout) {
  std::string message;
  EXPECT_EQ(TPelmora::IsWow64(message), kWow64);
  Choose(kTwo);
  Connect();
  EXPECT_EQ(State().useLibUsb, kWow64);
  if (kWow64) {
    EXPECT_EQ(usbsim_last_timeout(), 100);
  }
}

// A sensor that stops answering and one that leaves the bus, both 0.35 s
// after the start: the run goes on to its end, A and C keep their channels
// and values, and B's channel holds the last reading it gave.
TEST_F(UsbSimTest, SensorsThatFailMidRunDoNotStopTheOthers) {
  for (const char* fault : {"silent=0.35", "unplug=0.35"}) {
    SCOPED_TRACE(fault);
    const std::string profile =
        std::string("id=1000001,sensor=21,offset=1.5,slope=2;id=1000003,sensor=23,slope=10,offset=7,") +
        fault + ";id=1000002,sensor=22,offset=-0.25,slope=0";
    Choose(profile.c_str());
    Connect();
    ASSERT_EQ(State().usbFoundCount, 3);
    p->SamplingTime(0.1);
    p->ExperimentLength(1.0);
    p->AutoStop(true);
    Records records;
    p->DataReceived([&](TPelmora&, const std::wstring& r) { records.Take(r); });
    ASSERT_EQ(p->Pelmora(true), 0);
    ASSERT_TRUE(PumpUntil([&] { return p->RunningMode() == 0; })) << records.Copy().size() << " records";
    const auto got = records.Copy();
    ASSERT_EQ(got.size(), 11u);
    std::vector<std::string> b;
    for (int k = 1; k <= 11; ++k) {
      const auto want = Fields(Expected(k));
      const auto have = Fields(got[static_cast<std::size_t>(k - 1)]);
      ASSERT_EQ(have.size(), 10u) << got[static_cast<std::size_t>(k - 1)];
      // A, B, then C as in the two-sensor run.
      EXPECT_EQ(have[0], want[0]);
      EXPECT_EQ(have[1], want[1]);
      EXPECT_EQ(have[2], want[2]);
      EXPECT_EQ(have[4], want[3]);
      b.push_back(have[3]);
    }
    // B streamed 7, 8, 9, ... until it failed (at most reading 3, 10), and
    // its channel kept that value from record 6 (0.5 s) on.
    const double last = std::stod(b.back());
    EXPECT_GE(last, 7.0);
    EXPECT_LE(last, 10.0);
    for (std::size_t k = 5; k < b.size(); ++k) EXPECT_EQ(b[k], b.back()) << k + 1;
    EXPECT_EQ(Slot(2), "1000002");
    EXPECT_EQ(State().usbSlots[2].id, "1000002");
    EXPECT_TRUE(errors.empty());
    EXPECT_EQ(p->CloseComm(), 0);
    p.reset();
    pel::reg::deleteTree(pel::reg::Root::CurrentUser, kSlotKey);
  }
}

}  // namespace
}  // namespace usbsim
