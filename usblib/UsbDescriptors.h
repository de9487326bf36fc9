#pragma once
// Parsing of the standard USB descriptors the driver hands back. Every length
// is checked against the bytes received: malformed data ends a walk early
// instead of looping or reading past the buffer.
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace vantiro {

inline constexpr std::size_t kDeviceDescriptorSize = 18;
inline constexpr std::size_t kMaxInterfaceRecords = 8;
inline constexpr std::size_t kMaxEndpointsPerSetting = 15;
inline constexpr int kMaxSkippedDescriptors = 11;
inline constexpr std::uint16_t kLanguageEnglishUs = 0x0409;

struct DeviceDescriptor {
  std::uint8_t length = 0;
  std::uint8_t type = 0;
  std::uint16_t usbVersion = 0;
  std::uint8_t deviceClass = 0;
  std::uint8_t subClass = 0;
  std::uint8_t protocol = 0;
  std::uint8_t maxPacketSize0 = 0;
  std::uint16_t vendorId = 0;
  std::uint16_t productId = 0;
  std::uint16_t release = 0;
  std::uint8_t manufacturerIndex = 0;
  std::uint8_t productIndex = 0;
  std::uint8_t serialIndex = 0;
  std::uint8_t configurationCount = 0;
};

// Fewer than 18 bytes give nothing.
std::optional<DeviceDescriptor> ParseDeviceDescriptor(std::span<const std::uint8_t> bytes);

enum class EndpointKind : std::uint8_t { Control = 0, Isochronous = 1, Bulk = 2, Interrupt = 3 };

struct EndpointDescriptor {
  std::uint8_t length = 0;
  std::uint8_t type = 0;
  std::uint8_t address = 0;
  std::uint8_t attributes = 0;
  std::uint16_t maxPacketSize = 0;  // low 11 bits of the field times the multiplier
  std::uint8_t multiplier = 1;      // bits 11-12 of the field plus 1
  std::uint8_t interval = 0;
  // The whole attribute byte names the kind; a byte that also carries sync
  // or usage bits names none, and such an endpoint's slot stays empty.
  std::optional<EndpointKind> Kind() const {
    if (attributes > static_cast<std::uint8_t>(EndpointKind::Interrupt)) return std::nullopt;
    return static_cast<EndpointKind>(attributes);
  }
};

// Reads an endpoint descriptor (7 bytes); nothing when fewer are given.
std::optional<EndpointDescriptor> ParseEndpointDescriptor(std::span<const std::uint8_t> bytes);
// From the raw 16-bit maximum packet field.
void SetMaxPacketField(EndpointDescriptor& endpoint, std::uint16_t field);

struct InterfaceDescriptorSet {
  std::uint8_t length = 0;
  std::uint8_t type = 0;
  std::uint8_t interfaceNumber = 0;
  std::uint8_t alternateSetting = 0;
  std::uint8_t endpointCount = 0;
  std::uint8_t interfaceClass = 0;
  std::uint8_t subClass = 0;
  std::uint8_t protocol = 0;
  std::uint8_t stringIndex = 0;
  std::uint8_t alternateCount = 0;  // settings of this interface number in the configuration
  std::size_t totalLength = 0;      // bytes of this descriptor and those it took
  std::vector<EndpointDescriptor> endpoints;  // at most 15
};

struct ConfigurationDescriptorSet {
  std::uint8_t length = 0;
  std::uint8_t type = 0;
  std::uint16_t totalLength = 0;
  std::uint8_t interfaceCount = 0;
  std::uint8_t configurationValue = 0;
  std::uint8_t stringIndex = 0;
  std::uint8_t attributes = 0;
  std::uint8_t maxPower = 0;
  std::vector<InterfaceDescriptorSet> interfaces;  // at most 8 records
};

// Parses a configuration descriptor set; nothing when the 9-byte header is
// missing. The walk stops at the first descriptor whose length is below 2 or
// reaches past min(total length, bytes received).
std::optional<ConfigurationDescriptorSet> ParseConfiguration(std::span<const std::uint8_t> bytes);

// Language for string reads from string descriptor 0: US English when listed,
// else the first listed id, 0 when the list is empty.
std::uint16_t ChooseLanguage(std::span<const std::uint8_t> stringZero);

// Text of a string descriptor (length byte L above 2, type 3): the L - 2 bytes
// after the head as UTF-16 code units; nothing otherwise.
std::optional<std::u16string> ParseStringDescriptor(std::span<const std::uint8_t> bytes);

}  // namespace vantiro
