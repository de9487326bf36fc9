#include <gtest/gtest.h>

#include <chrono>
#include <vector>

#include "sim/usbdriver/SimUsbDriver.h"
#include "usblib/DriverError.h"
#include "usblib/DriverIo.h"
#include "usblib/UsbDevice.h"

using namespace vantiro;
using pelsim::SimBehaviour;
using pelsim::SimDeviceProfile;
using pelsim::SimLogEntry;
using pelsim::SimUsbDriver;
using Bytes = std::vector<std::uint8_t>;

namespace {

// A device with bulk 0x83/0x04, interrupt 0x81 and iso 0x82/0x05.
SimDeviceProfile FullProfile(std::uint32_t driverVersion) {
  SimDeviceProfile s;
  s.driverVersion = driverVersion;
  s.configuration = pelsim::BuildConfiguration(
      {{0x83, 2, 64}, {0x04, 2, 64}, {0x81, 0x03, 16}, {0x82, 0x01, 0x1400}, {0x05, 0x01, 512}});
  return s;
}

Bytes Head(const Bytes& in, std::size_t n = kTransferRecordSize) { return Bytes(in.begin(), in.begin() + n); }

Bytes Record(std::initializer_list<std::pair<std::size_t, std::uint32_t>> fields32,
             std::uint8_t endpoint) {
  Bytes r(kTransferRecordSize, 0);
  r[13] = endpoint;
  for (auto [at, v] : fields32) PutLe32(r, at, v);
  return r;
}

}  // namespace

TEST(UsbDevice, OpensAndReadsDescriptorsStringsAndQueries) {
  SimUsbDriver sim;
  SimDeviceProfile profile = FullProfile(0x01050500);
  profile.product = u"Force sensor";
  sim.Plug(profile);
  UsbDevice device(sim);
  ASSERT_TRUE(device.Open(0));
  EXPECT_EQ(device.VendorId(), 0x0547);
  EXPECT_EQ(device.ProductId(), 0x1003);
  EXPECT_EQ(device.Product(), u"Force sensor");
  EXPECT_EQ(device.Manufacturer(), u"Pelmora");
  EXPECT_EQ(device.DeviceName(), "SimUsb-0");
  EXPECT_EQ(device.DriverVersion(), 0x01050500u);
  EXPECT_TRUE(device.HighSpeed());
  EXPECT_EQ(device.UsbAddress(), 1);
  EXPECT_EQ(device.EndpointCount(), 6);
  ASSERT_NE(device.BulkIn(), nullptr);
  EXPECT_EQ(device.BulkIn()->Address(), 0x83);
  EXPECT_EQ(device.BulkOut()->Address(), 0x04);
  EXPECT_EQ(device.InterruptIn()->Address(), 0x81);
  EXPECT_EQ(device.IsoIn()->Address(), 0x82);
  EXPECT_EQ(device.IsoIn()->Descriptor().maxPacketSize, 3072);
  EXPECT_EQ(device.IsoOut()->Address(), 0x05);
  EXPECT_EQ(device.InterruptOut(), nullptr);
  EXPECT_EQ(device.BulkOut()->TransferSize(), 4096u);
  // The device descriptor read is one 56-byte control request.
  const auto controls = sim.Requests(ioctl::kControlTransfer);
  ASSERT_FALSE(controls.empty());
  EXPECT_EQ(controls[0].in.size(), 56u);
}

TEST(UsbDevice, AnAttributeByteOfNoKindLeavesItsSlotEmpty) {
  // Iso endpoints whose attribute bytes carry sync bits (async 0x05, adaptive
  // 0x09) come first; the plain ones after them still bind.
  SimUsbDriver sim;
  SimDeviceProfile profile;
  profile.configuration = pelsim::BuildConfiguration(
      {{0x82, 0x05, 512}, {0x05, 0x09, 512}, {0x83, 2, 64}, {0x04, 2, 64}, {0x86, 0x01, 256}});
  sim.Plug(profile);
  UsbDevice device(sim);
  ASSERT_TRUE(device.Open(0));
  EXPECT_EQ(device.EndpointCount(), 6);
  EXPECT_EQ(device.Endpoint(1), nullptr);
  EXPECT_EQ(device.Endpoint(2), nullptr);
  ASSERT_NE(device.Endpoint(3), nullptr);
  EXPECT_EQ(device.Endpoint(3)->Address(), 0x83);
  ASSERT_NE(device.BulkIn(), nullptr);
  EXPECT_EQ(device.BulkIn()->Address(), 0x83);
  EXPECT_EQ(device.BulkOut()->Address(), 0x04);
  ASSERT_NE(device.IsoIn(), nullptr);
  EXPECT_EQ(device.IsoIn()->Address(), 0x86);
  EXPECT_EQ(device.IsoOut(), nullptr);
}

TEST(UsbDevice, LanguageChoiceDecidesTheStringReads) {
  struct Case { std::vector<std::uint16_t> languages; std::uint16_t expected; };
  for (const auto& c : {Case{{0x0407, 0x0409}, 0x0409}, Case{{0x0407}, 0x0407}}) {
    SimUsbDriver sim;
    SimDeviceProfile profile;
    profile.languages = c.languages;
    sim.Plug(profile);
    UsbDevice device(sim);
    ASSERT_TRUE(device.Open(0));
    EXPECT_EQ(device.LanguageId(), c.expected);
    int stringReads = 0;
    for (const auto& e : sim.Requests(ioctl::kControlTransfer)) {
      TransferRecord r;
      ASSERT_TRUE(TransferRecord::ReadFrom(e.in, r));
      if ((r.value >> 8) == 3 && (r.value & 0xFF) != 0) {
        EXPECT_EQ(r.index, c.expected);
        ++stringReads;
      }
    }
    EXPECT_EQ(stringReads, 6);  // three strings, each read twice
  }
}

TEST(UsbDevice, EmptyStringDescriptorLeavesTheStringEmpty) {
  SimUsbDriver sim;
  SimDeviceProfile profile;
  profile.rawStrings[2] = {2, 3};
  sim.Plug(profile);
  UsbDevice device(sim);
  ASSERT_TRUE(device.Open(0));
  EXPECT_TRUE(device.Product().empty());
  EXPECT_EQ(device.Manufacturer(), u"Pelmora");
}

TEST(UsbDevice, BufferedBelowDriverVersionDirectFromIt) {
  struct Case { std::uint32_t version; bool buffered; };
  for (auto c : {Case{0x010504FF, true}, Case{0x01050500, false}, Case{0x02000000, false}}) {
    SimUsbDriver sim;
    sim.Plug(FullProfile(c.version));
    UsbDevice device(sim);
    ASSERT_TRUE(device.Open(0));
    for (std::size_t i = 1; i < device.EndpointCount(); ++i) {
      EXPECT_EQ(device.Endpoint(i)->buffered, c.buffered) << std::hex << c.version << " endpoint " << i;
    }
    EXPECT_TRUE(device.Endpoint(0)->buffered);  // the control endpoint always is
  }
}

TEST(UsbDevice, GoldenTransferRecords) {
  SimUsbDriver sim;
  const int buffered = sim.Plug(FullProfile(0x01050400));
  const int direct = sim.Plug(FullProfile(0x01050500));
  UsbDevice b(sim), d(sim);
  ASSERT_TRUE(b.Open(buffered));
  ASSERT_TRUE(d.Open(direct));
  sim.ClearLog();

  // Control: device descriptor read, 500 ms time-out sent as 1 s.
  auto* control = static_cast<ControlEndpoint*>(d.Endpoint(0));
  control->direction = 1;
  control->requestType = 0;
  control->request = 6;
  control->value = 0x0100;
  control->timeoutMs = 500;
  Bytes descriptor(18);
  std::uint32_t n = 18;
  ASSERT_TRUE(control->Transfer(descriptor.data(), n));
  EXPECT_EQ(n, 18u);
  EXPECT_EQ(descriptor[0], 18);
  Bytes golden = Record({{30, 38}, {34, 18}}, 0);
  golden[0] = 0x80;
  golden[1] = 6;
  golden[3] = 0x01;
  golden[6] = 18;
  golden[8] = 1;
  auto log = sim.Requests(ioctl::kControlTransfer);
  ASSERT_EQ(log.size(), 1u);
  EXPECT_EQ(log[0].in.size(), 56u);
  EXPECT_EQ(Head(log[0].in), golden);
  Bytes huge(0x10000);
  n = 0x10000;
  EXPECT_FALSE(control->Transfer(huge.data(), n));  // too long for a data stage: not sent
  EXPECT_EQ(sim.Requests(ioctl::kControlTransfer).size(), 1u);

  // Buffered bulk OUT: record, then the data.
  Bytes payload = {1, 2, 3};
  n = 3;
  ASSERT_TRUE(b.BulkOut()->Transfer(payload.data(), n));
  log = sim.Requests(ioctl::kBufferedTransfer);
  ASSERT_EQ(log.size(), 1u);
  Bytes expected = Record({{30, 38}, {34, 3}}, 0x04);
  expected.insert(expected.end(), {1, 2, 3});
  EXPECT_EQ(log[0].in, expected);
  EXPECT_EQ(sim.Written(buffered), std::vector<Bytes>{payload});

  // Direct bulk IN: a bare record, the data in its own buffer.
  sim.QueueIn(direct, {9, 8, 7});
  Bytes in(64);
  n = 64;
  ASSERT_TRUE(d.BulkIn()->Transfer(in.data(), n));
  EXPECT_EQ(n, 3u);
  log = sim.Requests(ioctl::kDirectTransfer);
  ASSERT_EQ(log.size(), 1u);
  EXPECT_EQ(log[0].in, Record({}, 0x83));
  EXPECT_EQ(log[0].outSize, 64u);

  // Iso, 4000 bytes at 3072 per packet: two packets, buffered and direct.
  Bytes iso(4000, 0x5A);
  std::vector<IsoPacketEntry> packets;
  sim.QueueIn(buffered, Bytes(4000, 1), 0x82);
  n = 4000;
  ASSERT_TRUE(b.IsoIn()->Transfer(iso.data(), n, &packets));
  EXPECT_EQ(n, 4000u);
  EXPECT_EQ(packets.size(), 2u);
  log = sim.Requests(ioctl::kBufferedTransfer);
  ASSERT_EQ(log.size(), 2u);
  EXPECT_EQ(log[1].in.size(), 38u + 16 + 4000);
  EXPECT_EQ(Head(log[1].in), Record({{22, 38}, {26, 16}, {30, 54}, {34, 4000}}, 0x82));
  sim.QueueIn(direct, Bytes(4000, 1), 0x82);
  n = 4000;
  ASSERT_TRUE(d.IsoIn()->Transfer(iso.data(), n, &packets));
  log = sim.Requests(ioctl::kDirectTransfer);
  ASSERT_EQ(log.size(), 2u);
  EXPECT_EQ(log[1].in.size(), 38u + 16);
  EXPECT_EQ(Head(log[1].in), Record({{22, 38}, {26, 16}}, 0x82));
  EXPECT_EQ(log[1].outSize, 4000u);
  // No packets, no request.
  n = 0;
  EXPECT_FALSE(d.IsoIn()->Transfer(iso.data(), n));
  EXPECT_EQ(sim.Requests(ioctl::kDirectTransfer).size(), 2u);
}

TEST(UsbDevice, ByteCountsNeverExceedTheRequestOrGoNegative) {
  SimUsbDriver sim;
  const int buffered = sim.Plug(FullProfile(0x01050400));
  const int direct = sim.Plug(FullProfile(0x01050500));
  UsbDevice b(sim), d(sim);
  ASSERT_TRUE(b.Open(buffered));
  ASSERT_TRUE(d.Open(direct));
  struct Case { UsbDevice* device; int id; std::uint32_t reported; std::uint32_t expected; };
  for (auto c : {Case{&b, buffered, 10, 0}, Case{&b, buffered, 38 + 5000, 16}, Case{&d, direct, 5000, 16},
                 Case{&d, direct, 0, 0}}) {
    sim.QueueIn(c.id, Bytes(16, 0xAB));
    sim.ReportBytesNext(c.id, 0x83, c.reported);
    Bytes buffer(32, 0);
    std::uint32_t n = 16;
    c.device->BulkIn()->Transfer(buffer.data(), n);
    EXPECT_EQ(n, c.expected) << c.reported;
    EXPECT_EQ(buffer[16], 0) << "wrote past the length asked for";
  }
}

TEST(UsbDevice, ShortReadAndFailedStatus) {
  SimUsbDriver sim;
  const int id = sim.Plug(FullProfile(0x01050500));
  UsbDevice device(sim);
  ASSERT_TRUE(device.Open(id));
  sim.QueueIn(id, {1, 2, 3, 4, 5});
  Bytes buffer(1024);
  std::uint32_t n = 1024;
  ASSERT_TRUE(device.BulkIn()->Transfer(buffer.data(), n));
  EXPECT_EQ(n, 5u);
  sim.QueueIn(id, {1});
  sim.FailNextTransfer(id, 0x83, 0xC0000004, 0xC0000001);
  n = 1024;
  EXPECT_FALSE(device.BulkIn()->Transfer(buffer.data(), n));
  EXPECT_EQ(device.BulkIn()->UsbdStatus(), 0xC0000004u);
}

TEST(UsbDevice, TimeOutAbortsThePipeAndEndsTheRequest) {
  SimUsbDriver sim;
  const int id = sim.Plug(FullProfile(0x01050500));
  UsbDevice device(sim);
  ASSERT_TRUE(device.Open(id));
  UsbEndpoint& in = *device.BulkIn();
  in.timeoutMs = 30;
  struct Case { SimBehaviour behaviour; bool cancelled; bool abandoned; };
  for (auto c : {Case{SimBehaviour::PendUntilAbort, false, false},
                 Case{SimBehaviour::EndsOnlyOnCancel, true, false}, Case{SimBehaviour::NeverEnds, true, true}}) {
    sim.ClearLog();
    sim.NextTransfers(id, 0x83, {c.behaviour});
    const std::size_t abandonedBefore = AbandonedRequestCount();
    Bytes buffer(64);
    std::uint32_t n = 64;
    const auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(in.Transfer(buffer.data(), n));
    const auto elapsed = std::chrono::steady_clock::now() - start;
    EXPECT_EQ(n, 0u);
    if (c.behaviour == SimBehaviour::PendUntilAbort) {
      EXPECT_GE(elapsed, std::chrono::milliseconds(25));
    }
    const auto aborts = sim.Requests(ioctl::kAbortPipe);
    ASSERT_EQ(aborts.size(), 1u);
    EXPECT_EQ(aborts[0].in, Bytes{0x83});
    bool cancelled = false;
    for (const auto& e : sim.Log()) cancelled |= e.kind == SimLogEntry::Cancel;
    EXPECT_EQ(cancelled, c.cancelled);
    EXPECT_EQ(AbandonedRequestCount() - abandonedBefore, c.abandoned ? 1u : 0u);
    EXPECT_EQ(sim.PendingRequests(), c.abandoned ? 1 : 0);
  }
}

TEST(UsbDevice, PendingTransferThatEndsIsCollected) {
  SimUsbDriver sim;
  const int id = sim.Plug(FullProfile(0x01050400));
  UsbDevice device(sim);
  ASSERT_TRUE(device.Open(id));
  sim.QueueIn(id, {4, 5, 6});
  sim.NextTransfers(id, 0x83, {SimBehaviour::PendThenEnd});
  Bytes buffer(8);
  std::uint32_t n = 8;
  ASSERT_TRUE(device.BulkIn()->Transfer(buffer.data(), n));
  EXPECT_EQ(n, 3u);
  EXPECT_EQ(buffer[2], 6);
  EXPECT_TRUE(sim.Requests(ioctl::kAbortPipe).empty());
}

TEST(UsbDevice, RefusedCloseThrowsAndKeepsTheDevice) {
  SimUsbDriver sim;
  sim.Plug({});
  {
    UsbDevice device(sim);
    ASSERT_TRUE(device.Open(0));
    sim.RefuseCloses(1);
    try {
      device.Close();
      FAIL() << "no exception";
    } catch (const UsbDriverError& e) {
      EXPECT_STREQ(e.what(), "Failed to close handle to driver.");
    }
    EXPECT_TRUE(device.IsOpen());
    EXPECT_EQ(device.VendorId(), 0x0547);
    device.Close();
    EXPECT_FALSE(device.IsOpen());
    EXPECT_EQ(device.VendorId(), 0);
    ASSERT_TRUE(device.Open(0));
    sim.RefuseCloses(1);
  }  // the destructor swallows the refusal
  EXPECT_EQ(sim.OpenHandles(), 1);
}

TEST(UsbDevice, FailedOpenLeavesNothingToMatch) {
  SimUsbDriver sim;
  sim.Plug({});
  UsbDevice device(sim);
  ASSERT_TRUE(device.Open(0));
  EXPECT_FALSE(device.Open(1));  // beyond the present devices
  EXPECT_FALSE(device.IsOpen());
  EXPECT_EQ(device.VendorId(), 0);
  EXPECT_EQ(device.EndpointCount(), 0);
  EXPECT_EQ(device.Endpoint(0), nullptr);
  SimDeviceProfile noConfig;
  noConfig.configurationCount = 0;
  sim.Plug(noConfig);
  EXPECT_FALSE(device.Open(1));
  EXPECT_EQ(device.EndpointCount(), 0);
}

TEST(UsbDevice, SynchronousQueriesAreOverlappedAndAFailedQueryLeavesZero) {
  SimUsbDriver sim;
  sim.Plug({});
  sim.RefuseCode(ioctl::kDriverVersion, 31);
  sim.RefuseCode(ioctl::kDeviceName, 31);
  UsbDevice device(sim);
  ASSERT_TRUE(device.Open(0));
  EXPECT_EQ(device.DriverVersion(), 0u);
  EXPECT_TRUE(device.DeviceName().empty());
  EXPECT_EQ(device.FriendlyName(), "Simulated USB sensor");
  // Driver version 0 puts every endpoint into buffered mode.
  EXPECT_TRUE(device.BulkIn()->buffered);
}
