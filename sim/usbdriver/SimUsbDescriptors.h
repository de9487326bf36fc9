#pragma once
// Descriptor bytes for simulated USB devices.
#include <cstdint>
#include <string>
#include <vector>

namespace pelsim {

struct SimEndpoint {
  std::uint8_t address = 0;
  std::uint8_t attributes = 2;  // bulk
  std::uint16_t maxPacket = 64;
};

// Configuration descriptor set: one configuration, one interface (alternate
// setting 0) and the given endpoints.
std::vector<std::uint8_t> BuildConfiguration(const std::vector<SimEndpoint>& endpoints);

// The sensors' own endpoints: bulk 0x83 in and 0x04 out, and an interrupt IN.
std::vector<std::uint8_t> SensorConfiguration();

std::vector<std::uint8_t> BuildDeviceDescriptor(std::uint16_t vendorId, std::uint16_t productId,
                                                std::uint8_t configurationCount);

std::vector<std::uint8_t> BuildStringDescriptor(const std::u16string& text);
std::vector<std::uint8_t> BuildLanguageList(const std::vector<std::uint16_t>& languages);

}  // namespace pelsim
