#include <gtest/gtest.h>

#include <optional>
#include <vector>

#include "usblib/UsbDescriptors.h"
#include "usblib/UsbRecords.h"

using namespace vantiro;
using Bytes = std::vector<std::uint8_t>;

namespace {
Bytes Config(std::initializer_list<Bytes> parts, int totalOverride = -1) {
  Bytes v = {9, 2, 0, 0, 1, 1, 0, 0x80, 50};
  for (const auto& p : parts) v.insert(v.end(), p.begin(), p.end());
  const int total = totalOverride >= 0 ? totalOverride : static_cast<int>(v.size());
  v[2] = static_cast<std::uint8_t>(total);
  v[3] = static_cast<std::uint8_t>(total >> 8);
  return v;
}
Bytes Iface(std::uint8_t number, std::uint8_t alt, std::uint8_t endpoints) {
  return {9, 4, number, alt, endpoints, 0xFF, 0, 0, 0};
}
Bytes Ep(std::uint8_t address, std::uint8_t attributes, std::uint16_t maxPacket = 64) {
  return {7, 5, address, attributes, static_cast<std::uint8_t>(maxPacket),
          static_cast<std::uint8_t>(maxPacket >> 8), 0};
}
}  // namespace

TEST(Descriptors, DeviceDescriptorFieldsAndShortInput) {
  const Bytes d = {18, 1, 0x00, 0x02, 0xFF, 1, 2, 64, 0x47, 0x05, 0x03, 0x10, 0x34, 0x12, 1, 2, 3, 1};
  auto parsed = ParseDeviceDescriptor(d);
  ASSERT_TRUE(parsed);
  EXPECT_EQ(parsed->vendorId, 0x0547);
  EXPECT_EQ(parsed->productId, 0x1003);
  EXPECT_EQ(parsed->release, 0x1234);
  EXPECT_EQ(parsed->maxPacketSize0, 64);
  EXPECT_EQ(parsed->productIndex, 2);
  EXPECT_EQ(parsed->configurationCount, 1);
  EXPECT_FALSE(ParseDeviceDescriptor(Bytes(d.begin(), d.end() - 1)));
}

TEST(Descriptors, MaxPacketFieldCarriesTheMultiplier) {
  EndpointDescriptor e;
  SetMaxPacketField(e, 0x1400);
  EXPECT_EQ(e.multiplier, 3);
  EXPECT_EQ(e.maxPacketSize, 3072);
  SetMaxPacketField(e, 0x0040);
  EXPECT_EQ(e.multiplier, 1);
  EXPECT_EQ(e.maxPacketSize, 64);
}

TEST(Descriptors, LanguageChoice) {
  struct Case { Bytes list; std::uint16_t expected; };
  const Case cases[] = {
      {{6, 3, 0x07, 0x04, 0x09, 0x04}, 0x0409},  // US English wins when listed
      {{4, 3, 0x07, 0x04}, 0x0407},
      {{2, 3}, 0},
      {{8, 3, 0x07, 0x04}, 0x0407},  // length byte beyond the data
      {{}, 0},
  };
  for (const auto& c : cases) EXPECT_EQ(ChooseLanguage(c.list), c.expected);
}

TEST(Descriptors, StringDescriptor) {
  auto text = ParseStringDescriptor(Bytes{8, 3, 'U', 0, 'S', 0, 'B', 0});
  ASSERT_TRUE(text);
  EXPECT_EQ(*text, u"USB");
  EXPECT_FALSE(ParseStringDescriptor(Bytes{2, 3}));          // empty: target stays unchanged
  EXPECT_FALSE(ParseStringDescriptor(Bytes{8, 2, 'U', 0}));  // not a string
  auto cut = ParseStringDescriptor(Bytes{40, 3, 'A', 0});    // length beyond the data
  ASSERT_TRUE(cut);
  EXPECT_EQ(*cut, u"A");
}

TEST(Descriptors, ConfigurationWithTwoSettings) {
  const Bytes c = Config({Iface(0, 0, 2), Ep(0x83, 2), Ep(0x04, 2), Iface(0, 1, 3), {5, 0x24, 1, 2, 3},
                          Ep(0x81, 1, 0x1400), Ep(0x82, 3, 16), Ep(0x02, 1)});
  auto parsed = ParseConfiguration(c);
  ASSERT_TRUE(parsed);
  ASSERT_EQ(parsed->interfaces.size(), 2u);
  EXPECT_EQ(parsed->interfaces[0].alternateCount, 2);
  ASSERT_EQ(parsed->interfaces[0].endpoints.size(), 2u);
  EXPECT_EQ(parsed->interfaces[0].endpoints[0].address, 0x83);
  const auto& alt = parsed->interfaces[1];
  EXPECT_EQ(alt.alternateSetting, 1);
  ASSERT_EQ(alt.endpoints.size(), 3u);
  EXPECT_EQ(alt.endpoints[0].Kind(), EndpointKind::Isochronous);
  EXPECT_EQ(alt.endpoints[0].maxPacketSize, 3072);
  EXPECT_EQ(alt.endpoints[1].Kind(), EndpointKind::Interrupt);
  EXPECT_EQ(alt.totalLength, 9u + 5 + 21);
}

TEST(Descriptors, TheWholeAttributeByteNamesTheKind) {
  struct Case { std::uint8_t attributes; std::optional<EndpointKind> kind; };
  const Case cases[] = {
      {0, EndpointKind::Control},  {1, EndpointKind::Isochronous}, {2, EndpointKind::Bulk},
      {3, EndpointKind::Interrupt},
      // Sync or usage bits beside the transfer type: no kind, the slot stays empty.
      {0x05, std::nullopt}, {0x0D, std::nullopt}, {0x13, std::nullopt}, {0x06, std::nullopt},
      {0xFF, std::nullopt},
  };
  for (const auto& c : cases) {
    const Bytes e = Ep(0x81, c.attributes);
    auto parsed = ParseEndpointDescriptor(e);
    ASSERT_TRUE(parsed);
    EXPECT_EQ(parsed->Kind(), c.kind) << int(c.attributes);
  }
}

TEST(Descriptors, MalformedConfigurationsEndTheWalk) {
  struct Case {
    const char* name;
    Bytes bytes;
    std::size_t interfaces;
    std::size_t firstEndpoints;
  };
  Bytes many = Config({Iface(0, 0, 20)});
  for (int i = 0; i < 20; ++i) {
    auto e = Ep(static_cast<std::uint8_t>(0x81 + i), 2);
    many.insert(many.end(), e.begin(), e.end());
  }
  many[2] = static_cast<std::uint8_t>(many.size());
  Bytes skipped = Config({Iface(0, 0, 1)});
  for (int i = 0; i < 12; ++i) skipped.insert(skipped.end(), {3, 0x21, 0});
  for (std::uint8_t b : Ep(0x83, 2)) skipped.push_back(b);
  skipped[2] = static_cast<std::uint8_t>(skipped.size());
  Bytes nineInterfaces = Config({});
  for (int i = 0; i < 9; ++i) {
    auto f = Iface(static_cast<std::uint8_t>(i), 0, 0);
    nineInterfaces.insert(nineInterfaces.end(), f.begin(), f.end());
  }
  nineInterfaces[2] = static_cast<std::uint8_t>(nineInterfaces.size());
  const Case cases[] = {
      {"zero length byte after the interface", Config({Iface(0, 0, 2), {0, 5, 0x83}, Ep(0x04, 2)}), 1, 0},
      {"zero length byte between descriptors", Config({{0, 0x21}, Iface(0, 0, 1), Ep(0x83, 2)}), 0, 0},
      {"endpoint cut by the data end", [] { auto v = Config({Iface(0, 0, 1), Ep(0x83, 2)}); v.resize(v.size() - 3); return v; }(), 1, 0},
      {"total length beyond the data", Config({Iface(0, 0, 1), Ep(0x83, 2)}, 400), 1, 1},
      {"total length cuts the endpoints", Config({Iface(0, 0, 2), Ep(0x83, 2), Ep(0x04, 2)}, 9 + 9 + 7), 1, 1},
      {"endpoint descriptor too short", Config({Iface(0, 0, 1), {4, 5, 0x83, 2}}), 1, 0},
      {"more than 15 endpoints", many, 1, 15},
      {"twelve foreign descriptors before the endpoint", skipped, 1, 0},
      {"interface descriptor too short", Config({{5, 4, 0, 0, 1}}), 0, 0},
      {"more than 8 interface records", nineInterfaces, 8, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    auto parsed = ParseConfiguration(c.bytes);
    ASSERT_TRUE(parsed);
    ASSERT_EQ(parsed->interfaces.size(), c.interfaces);
    if (c.interfaces) {
      EXPECT_EQ(parsed->interfaces[0].endpoints.size(), c.firstEndpoints);
    }
  }
  EXPECT_FALSE(ParseConfiguration(Bytes{9, 2, 9, 0}));
}

TEST(Records, ControlTimeoutInWholeSeconds) {
  struct Case { std::uint32_t ms, seconds; };
  for (auto c : {Case{0, 0}, Case{1, 1}, Case{500, 1}, Case{999, 1}, Case{1000, 1}, Case{2500, 2}}) {
    EXPECT_EQ(ControlTimeoutSeconds(c.ms), c.seconds) << c.ms;
  }
  EXPECT_EQ(ControlRequestType(1, 2, 1), 0xC1);
  EXPECT_EQ(ControlRequestType(0, 7, 0x3F), 0x7F);
}

TEST(Records, TransferRecordRoundTripsLittleEndian) {
  TransferRecord r;
  r.requestType = 0x80;
  r.request = 6;
  r.value = 0x0302;
  r.index = 0x0409;
  r.length = 0x0102;
  r.timeoutSeconds = 5;
  r.endpoint = 0x83;
  r.ntStatus = 0x11223344;
  r.usbdStatus = 0xC0000004;
  r.tableOffset = 38;
  r.tableLength = 16;
  r.dataOffset = 54;
  r.dataLength = 0x01020304;
  std::vector<std::uint8_t> b(kTransferRecordSize);
  r.WriteTo(b);
  const std::vector<std::uint8_t> golden = {0x80, 6, 0x02, 0x03, 0x09, 0x04, 0x02, 0x01, 5, 0, 0, 0, 0, 0x83,
                                            0x44, 0x33, 0x22, 0x11, 0x04, 0, 0, 0xC0, 38, 0, 0, 0, 16, 0, 0, 0,
                                            54, 0, 0, 0, 0x04, 0x03, 0x02, 0x01};
  EXPECT_EQ(b, golden);
  TransferRecord back;
  ASSERT_TRUE(TransferRecord::ReadFrom(b, back));
  EXPECT_EQ(back.usbdStatus, r.usbdStatus);
  EXPECT_EQ(back.dataLength, r.dataLength);
  EXPECT_FALSE(TransferRecord::ReadFrom(std::span(b).first(37), back));
}
