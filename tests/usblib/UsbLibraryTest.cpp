#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>
#include <vector>

#include "sim/usbdriver/SensorPeer.h"
#include "sim/usbdriver/SimUsbDriver.h"
#include "usblib/DriverError.h"
#include "usblib/UsbLibrary.h"

using namespace vantiro;
using pelsim::SimDeviceProfile;
using pelsim::SimUsbDriver;
using Bytes = std::vector<std::uint8_t>;

namespace {

SimDeviceProfile Sensor(std::u16string name) {
  SimDeviceProfile s;
  s.product = std::move(name);
  return s;
}

SimDeviceProfile Foreign() {
  SimDeviceProfile s;
  s.vendorId = 0x0547;
  s.productId = 0x2131;  // same vendor, another product
  return s;
}

struct Fixture {
  SimUsbDriver sim;
  UsbLibrary usb{sim};
  Fixture() { usb.Init(1000); }
};

}  // namespace

TEST(UsbLibrary, DeviceSets) {
  struct Case {
    const char* name;
    std::vector<SimDeviceProfile> devices;
    int matched;
  };
  SimDeviceProfile otherVendor;
  otherVendor.vendorId = 0x1234;
  std::vector<SimDeviceProfile> fourteen(14, Sensor(u"S"));
  const Case cases[] = {
      {"none", {}, 0},
      {"wrong vendor and product only", {otherVendor, Foreign()}, 0},
      {"mixed", {Foreign(), Sensor(u"A"), otherVendor, Sensor(u"B")}, 2},
      {"fourteen sensors", fourteen, 12},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Fixture f;
    for (const auto& d : c.devices) f.sim.Plug(d);
    EXPECT_EQ(f.usb.Open(), c.matched);
    EXPECT_EQ(f.usb.CheckOpen(), static_cast<int>(c.devices.size()));
    EXPECT_EQ(f.usb.CheckDevice(), c.matched);
    Bytes data(1024);
    if (c.devices.empty()) {
      EXPECT_EQ(f.usb.Read(data.data(), 1024, 0), 0);
      EXPECT_EQ(f.usb.Write(data.data(), 4, 0), 0);
    }
    EXPECT_EQ(f.usb.Close(), 44);
  }
}

TEST(UsbLibrary, WriteReachesTheMatchedDeviceOfItsIndex) {
  Fixture f;
  f.sim.Plug(Foreign());
  const int a = f.sim.Plug(Sensor(u"A"));
  f.sim.Plug(Foreign());
  const int b = f.sim.Plug(Sensor(u"B"));
  ASSERT_EQ(f.usb.Open(), 2);
  const Bytes packet = {0x7E, 1, 2, 3};
  EXPECT_EQ(f.usb.Write(packet.data(), 4, 1), 1);
  EXPECT_TRUE(f.sim.Written(a).empty());
  EXPECT_EQ(f.sim.Written(b), std::vector<Bytes>{packet});
  f.sim.QueueIn(a, {9, 9, 9});
  Bytes in(1024);
  EXPECT_EQ(f.usb.Read(in.data(), 1024, 0), 3);  // a short read
  std::u16string name;
  EXPECT_EQ(f.usb.ProductName(name, 1), 4);  // the count of present devices
  EXPECT_EQ(name, u"B");
  EXPECT_EQ(f.usb.GetXferSize(0), 4096);
}

TEST(UsbLibrary, BufferedAndDirectModesEitherSideOfTheDriverVersion) {
  for (std::uint32_t version : {0x010504FFu, 0x01050500u}) {
    Fixture f;
    SimDeviceProfile s;
    s.driverVersion = version;
    const int id = f.sim.Plug(s);
    ASSERT_EQ(f.usb.Open(), 1);
    f.sim.ClearLog();
    const Bytes packet = {1, 2, 3, 4, 5, 6, 7, 8};
    EXPECT_EQ(f.usb.Write(packet.data(), 8, 0), 1);
    f.sim.QueueIn(id, {0x55, 0x66});
    Bytes in(1024, 0);
    EXPECT_EQ(f.usb.Read(in.data(), 1024, 0), 2);
    EXPECT_EQ(in[1], 0x66);
    const bool buffered = version < 0x01050500;
    EXPECT_EQ(f.sim.Requests(0x220024).size(), buffered ? 2u : 0u);
    EXPECT_EQ(f.sim.Requests(0x22004B).size(), buffered ? 0u : 2u);
    EXPECT_EQ(f.sim.Written(id), std::vector<Bytes>{packet});
  }
}

TEST(UsbLibrary, ReadTimesOutAfterTheTransferTimeOut) {
  Fixture f;
  f.usb.Init(40);
  f.sim.Plug({});
  ASSERT_EQ(f.usb.Open(), 1);
  f.sim.ClearLog();
  Bytes in(1024);
  const auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(f.usb.Read(in.data(), 1024, 0), -1);  // nothing queued: the device never answers
  const auto elapsed = std::chrono::steady_clock::now() - start;
  EXPECT_GE(elapsed, std::chrono::milliseconds(35));
  EXPECT_LT(elapsed, std::chrono::milliseconds(1500));
  const auto aborts = f.sim.Requests(0x220044);
  ASSERT_EQ(aborts.size(), 1u);
  EXPECT_EQ(aborts[0].in, Bytes{0x83});
  EXPECT_EQ(f.sim.PendingRequests(), 0);
}

TEST(UsbLibrary, UnplugAndReplug) {
  Fixture f;
  const int id = f.sim.Plug({});
  ASSERT_EQ(f.usb.Open(), 1);
  f.sim.Unplug(id);
  Bytes in(1024);
  EXPECT_EQ(f.usb.CheckOpen(), 0);
  EXPECT_EQ(f.usb.Read(in.data(), 1024, 0), 0);  // not -1
  EXPECT_EQ(f.usb.Write(in.data(), 8, 0), 0);
  EXPECT_EQ(f.usb.CheckDevice(), 0);
  f.sim.Plug(Sensor(u"again"));
  EXPECT_EQ(f.usb.CheckOpen(), 1);
  EXPECT_EQ(f.usb.Close(), 44);
  EXPECT_EQ(f.usb.Open(), 1);
  std::u16string name;
  EXPECT_EQ(f.usb.ProductName(name, 0), 1);
  EXPECT_EQ(name, u"again");
}

TEST(UsbLibrary, LifecycleAndCallsOutsideTheTable) {
  Fixture f;
  std::u16string name = u"untouched";
  Bytes buffer(64);
  // Before the first Open.
  EXPECT_EQ(f.usb.Close(), 44);
  EXPECT_EQ(f.usb.ProductName(name, 0), -2);
  EXPECT_EQ(f.usb.Read(buffer.data(), 64, 0), -1);
  EXPECT_EQ(f.usb.Write(buffer.data(), 4, 0), 0);
  EXPECT_EQ(f.usb.CheckOpen(), 0);
  EXPECT_EQ(f.usb.CheckDevice(), 0);
  EXPECT_EQ(f.usb.GetXferSize(0), 0);
  EXPECT_EQ(f.usb.Reset(), 1);
  f.sim.Plug(Sensor(u"first"));
  f.sim.Plug(Sensor(u"second"));
  ASSERT_EQ(f.usb.Open(), 2);
  EXPECT_EQ(f.usb.ProductName(name, 2), -1);
  EXPECT_EQ(f.usb.ProductName(name, -1), -1);
  EXPECT_EQ(name, u"untouched");
  EXPECT_EQ(f.usb.ProductName(name, 1), 2);
  EXPECT_EQ(name, u"second");
  for (int index : {-1, 2, 11, 12, 1000}) {
    EXPECT_EQ(f.usb.Read(buffer.data(), 64, index), -1) << index;
    EXPECT_EQ(f.usb.Write(buffer.data(), 4, index), 0) << index;
    EXPECT_EQ(f.usb.GetXferSize(index), 0) << index;
  }
  EXPECT_EQ(f.usb.Read(nullptr, 64, 0), -1);
  EXPECT_EQ(f.usb.Read(buffer.data(), -5, 0), -1);
  EXPECT_EQ(f.usb.Reset(), 1);
  EXPECT_EQ(f.sim.Requests(0x220030).size(), 1u);
  EXPECT_EQ(f.usb.Close(), 44);
  EXPECT_EQ(f.sim.OpenHandles(), 0);
  EXPECT_EQ(f.usb.Read(buffer.data(), 64, 0), -1);
  EXPECT_EQ(f.usb.Open(), 2);
  EXPECT_EQ(f.usb.Close(), 44);
  EXPECT_EQ(f.sim.OpenHandles(), 0);
}

TEST(UsbLibrary, MatchLackingAnEndpointClearsThePipe) {
  Fixture f;
  const int full = f.sim.Plug({});
  ASSERT_EQ(f.usb.Open(), 1);
  // The same slot now finds a sensor without the OUT pipe: the old pipe,
  // whose endpoint was freed by the reopen, must not be used.
  f.sim.Unplug(full);
  SimDeviceProfile inOnly;
  inOnly.configuration = pelsim::BuildConfiguration({{0x83, 2, 64}});
  const int half = f.sim.Plug(inOnly);
  ASSERT_EQ(f.usb.CheckDevice(), 1);
  Bytes packet = {1, 2, 3};
  EXPECT_EQ(f.usb.Write(packet.data(), 3, 0), 0);
  EXPECT_EQ(f.usb.GetXferSize(0), 0);
  EXPECT_TRUE(f.sim.Written(half).empty());
  EXPECT_TRUE(f.sim.Written(full).empty());
  f.sim.QueueIn(half, {1});
  Bytes in(16);
  EXPECT_EQ(f.usb.Read(in.data(), 16, 0), 1);
  // A device whose open fails part-way (no configuration) never matches.
  SimDeviceProfile broken;
  broken.configurationCount = 0;
  f.sim.Plug(broken);
  EXPECT_EQ(f.usb.CheckDevice(), 1);
}

TEST(UsbLibrary, RefusedCloseLeavesOpenCloseAndCheckDeviceAndNothingDangles) {
  Fixture f;
  f.sim.Plug({});
  f.sim.Plug({});
  ASSERT_EQ(f.usb.Open(), 2);
  Bytes buffer(16);
  // Probe, then slot 0 refuse: the exception leaves after the probe closed.
  f.sim.RefuseCloses(1);
  EXPECT_THROW(f.usb.Close(), UsbDriverError);
  EXPECT_EQ(f.usb.Read(buffer.data(), 16, 0), -1);
  EXPECT_EQ(f.usb.Write(buffer.data(), 4, 1), 0);
  f.sim.RefuseCloses(1);
  EXPECT_THROW(f.usb.Open(), UsbDriverError);
  EXPECT_EQ(f.usb.Open(), 2);
  f.sim.RefuseCloses(1);
  EXPECT_THROW(f.usb.CheckDevice(), UsbDriverError);
  EXPECT_EQ(f.usb.Write(buffer.data(), 4, 0), 0);  // the match was cut short: no pipes
  EXPECT_EQ(f.usb.CheckDevice(), 2);
  EXPECT_EQ(f.usb.Write(buffer.data(), 4, 0), 1);
  EXPECT_EQ(f.usb.Close(), 44);
  EXPECT_EQ(f.sim.OpenHandles(), 0);
}

TEST(UsbLibrary, TwoThreadsAreSerialised) {
  Fixture f;
  const int a = f.sim.Plug({});
  const int b = f.sim.Plug({});
  ASSERT_EQ(f.usb.Open(), 2);
  for (int i = 0; i < 200; ++i) f.sim.QueueIn(a, {static_cast<std::uint8_t>(i)});
  std::atomic<int> reads{0};
  std::thread reader([&] {
    Bytes in(1024);
    for (int i = 0; i < 200; ++i) reads += f.usb.Read(in.data(), 1024, 0) == 1;
  });
  const Bytes packet = {1, 2};
  int writes = 0;
  for (int i = 0; i < 200; ++i) {
    writes += f.usb.Write(packet.data(), 2, 1);
    f.usb.CheckOpen();
  }
  reader.join();
  EXPECT_EQ(reads, 200);
  EXPECT_EQ(writes, 200);
  EXPECT_EQ(f.sim.Written(b).size(), 200u);
}

// A simulated sensor behind the bulk pipes: the library's transfers carry its
// packets both ways, a packet it refuses gets no answer, and once it has left
// the bus by itself the library sees no device.
TEST(UsbLibrary, PacketsReachASensorBehindTheBulkPipesAndItsRepliesComeBack) {
  using pelsim::usbsensor::BuildPacket;
  Fixture f;
  f.usb.Init(40);
  double now = 0;
  pelsim::usbsensor::SensorProfile profile;
  profile.identifier = "1234567";
  profile.unplugAfter = 1.0;
  auto sensor = std::make_shared<pelsim::usbsensor::UsbSensor>(profile, [&] { return now; });
  SimDeviceProfile device;
  device.peer = std::make_shared<pelsim::SensorPeer>(sensor);
  f.sim.Plug(device);
  ASSERT_EQ(f.usb.Open(), 1);
  const std::string ask = BuildPacket({"1003", "0004", "", ""});
  ASSERT_EQ(f.usb.Write(ask.data(), static_cast<int>(ask.size()), 0), 1);
  Bytes in(1024);
  const int n = f.usb.Read(in.data(), 1024, 0);
  ASSERT_GT(n, 0);
  EXPECT_EQ(std::string(in.begin(), in.begin() + n), BuildPacket({"1003", "0004", "S", "1234567"}));
  std::string bad = ask;
  bad[14] = '9';
  ASSERT_EQ(f.usb.Write(bad.data(), static_cast<int>(bad.size()), 0), 1);
  EXPECT_EQ(f.usb.Read(in.data(), 1024, 0), -1);
  EXPECT_EQ(sensor->Log().back().refusal, pelsim::usbsensor::Refusal::Checksum);

  const std::string start = BuildPacket({"2000", "0001", "", ""});
  ASSERT_EQ(f.usb.Write(start.data(), static_cast<int>(start.size()), 0), 1);
  EXPECT_GT(f.usb.Read(in.data(), 1024, 0), 0);  // the first reading
  now = 1.0;
  EXPECT_EQ(f.usb.CheckOpen(), 0);
  EXPECT_EQ(f.usb.Read(in.data(), 1024, 0), 0);
}
