#include "usblib/UsbDescriptors.h"

#include <algorithm>

#include "usblib/UsbRecords.h"

namespace vantiro {

namespace {
constexpr std::uint8_t kTypeInterface = 4;
constexpr std::uint8_t kTypeEndpoint = 5;
constexpr std::uint8_t kTypeString = 3;
constexpr std::size_t kEndpointDescriptorSize = 7;
constexpr std::size_t kInterfaceDescriptorSize = 9;
constexpr std::size_t kConfigurationHeaderSize = 9;

// Parses one interface setting starting at bytes[0]; bytes ends where the
// configuration's data ends.
InterfaceDescriptorSet ParseInterfaceSetting(std::span<const std::uint8_t> bytes) {
  InterfaceDescriptorSet s;
  s.length = bytes[0];
  s.type = bytes[1];
  s.interfaceNumber = bytes[2];
  s.alternateSetting = bytes[3];
  s.endpointCount = bytes[4];
  s.interfaceClass = bytes[5];
  s.subClass = bytes[6];
  s.protocol = bytes[7];
  s.stringIndex = bytes[8];
  s.totalLength = s.length;
  const std::size_t wanted = std::min<std::size_t>(s.endpointCount, kMaxEndpointsPerSetting);
  int skipped = 0;
  std::size_t pos = s.totalLength;
  while (s.endpoints.size() < wanted) {
    if (pos + 2 > bytes.size()) break;
    const std::uint8_t len = bytes[pos];
    if (len < 2 || pos + len > bytes.size()) break;
    if (bytes[pos + 1] == kTypeEndpoint) {
      auto endpoint = ParseEndpointDescriptor(bytes.subspan(pos, len));
      if (!endpoint) break;
      s.endpoints.push_back(*endpoint);
    } else if (++skipped > kMaxSkippedDescriptors) {
      break;
    }
    pos += len;
    s.totalLength = pos;
  }
  return s;
}
}  // namespace

std::optional<DeviceDescriptor> ParseDeviceDescriptor(std::span<const std::uint8_t> b) {
  if (b.size() < kDeviceDescriptorSize) return std::nullopt;
  DeviceDescriptor d;
  d.length = b[0];
  d.type = b[1];
  d.usbVersion = GetLe16(b, 2);
  d.deviceClass = b[4];
  d.subClass = b[5];
  d.protocol = b[6];
  d.maxPacketSize0 = b[7];
  d.vendorId = GetLe16(b, 8);
  d.productId = GetLe16(b, 10);
  d.release = GetLe16(b, 12);
  d.manufacturerIndex = b[14];
  d.productIndex = b[15];
  d.serialIndex = b[16];
  d.configurationCount = b[17];
  return d;
}

void SetMaxPacketField(EndpointDescriptor& e, std::uint16_t field) {
  e.multiplier = static_cast<std::uint8_t>(((field >> 11) & 3) + 1);
  e.maxPacketSize = static_cast<std::uint16_t>((field & 0x7FF) * e.multiplier);
}

std::optional<EndpointDescriptor> ParseEndpointDescriptor(std::span<const std::uint8_t> b) {
  if (b.size() < kEndpointDescriptorSize) return std::nullopt;
  EndpointDescriptor e;
  e.length = b[0];
  e.type = b[1];
  e.address = b[2];
  e.attributes = b[3];
  SetMaxPacketField(e, GetLe16(b, 4));
  e.interval = b[6];
  return e;
}

std::optional<ConfigurationDescriptorSet> ParseConfiguration(std::span<const std::uint8_t> b) {
  if (b.size() < kConfigurationHeaderSize) return std::nullopt;
  ConfigurationDescriptorSet c;
  c.length = b[0];
  c.type = b[1];
  c.totalLength = GetLe16(b, 2);
  c.interfaceCount = b[4];
  c.configurationValue = b[5];
  c.stringIndex = b[6];
  c.attributes = b[7];
  c.maxPower = b[8];
  const auto data = b.first(std::min<std::size_t>(c.totalLength, b.size()));
  std::size_t pos = std::max<std::size_t>(c.length, kConfigurationHeaderSize);
  while (pos + 2 <= data.size() && c.interfaces.size() < kMaxInterfaceRecords) {
    const std::uint8_t len = data[pos];
    if (len < 2 || pos + len > data.size()) break;
    if (data[pos + 1] == kTypeInterface) {
      if (len < kInterfaceDescriptorSize) break;
      c.interfaces.push_back(ParseInterfaceSetting(data.subspan(pos)));
      pos += c.interfaces.back().totalLength;
    } else {
      pos += len;
    }
  }
  for (auto& s : c.interfaces) {
    s.alternateCount = static_cast<std::uint8_t>(
        std::count_if(c.interfaces.begin(), c.interfaces.end(), [&](const auto& other) {
          return other.interfaceNumber == s.interfaceNumber;
        }));
  }
  return c;
}

std::uint16_t ChooseLanguage(std::span<const std::uint8_t> b) {
  if (b.size() < 2) return 0;
  const std::size_t end = std::min<std::size_t>(b[0], b.size());
  std::uint16_t chosen = 0;
  for (std::size_t pos = 2; pos + 2 <= end; pos += 2) {
    const std::uint16_t id = GetLe16(b, pos);
    if (pos == 2) chosen = id;
    if (id == kLanguageEnglishUs) return id;
  }
  return chosen;
}

std::optional<std::u16string> ParseStringDescriptor(std::span<const std::uint8_t> b) {
  if (b.size() < 2 || b[0] <= 2 || b[1] != kTypeString) return std::nullopt;
  const std::size_t end = std::min<std::size_t>(b[0], b.size());
  std::u16string text;
  for (std::size_t pos = 2; pos + 2 <= end; pos += 2) text.push_back(GetLe16(b, pos));
  return text;
}

}  // namespace vantiro
