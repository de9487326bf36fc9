#include "sim/usbdriver/SimUsbDescriptors.h"

namespace pelsim {

namespace {
void Put16(std::vector<std::uint8_t>& v, std::uint16_t x) {
  v.push_back(static_cast<std::uint8_t>(x));
  v.push_back(static_cast<std::uint8_t>(x >> 8));
}
}  // namespace

std::vector<std::uint8_t> BuildConfiguration(const std::vector<SimEndpoint>& endpoints) {
  std::vector<std::uint8_t> v = {9, 2, 0, 0, 1, 1, 0, 0x80, 50};
  v.insert(v.end(), {9, 4, 0, 0, static_cast<std::uint8_t>(endpoints.size()), 0xFF, 0, 0, 0});
  for (const auto& e : endpoints) {
    v.insert(v.end(), {7, 5, e.address, e.attributes});
    Put16(v, e.maxPacket);
    v.push_back(0);
  }
  v[2] = static_cast<std::uint8_t>(v.size());
  v[3] = static_cast<std::uint8_t>(v.size() >> 8);
  return v;
}

std::vector<std::uint8_t> SensorConfiguration() {
  return BuildConfiguration({{0x83, 2, 64}, {0x04, 2, 64}, {0x81, 3, 16}});
}

std::vector<std::uint8_t> BuildDeviceDescriptor(std::uint16_t vendorId, std::uint16_t productId,
                                                std::uint8_t configurationCount) {
  std::vector<std::uint8_t> v = {18, 1};
  Put16(v, 0x0200);
  v.insert(v.end(), {0, 0, 0, 64});
  Put16(v, vendorId);
  Put16(v, productId);
  Put16(v, 0x0100);
  v.insert(v.end(), {1, 2, 3, configurationCount});
  return v;
}

std::vector<std::uint8_t> BuildStringDescriptor(const std::u16string& text) {
  std::vector<std::uint8_t> v = {static_cast<std::uint8_t>(2 + 2 * text.size()), 3};
  for (char16_t c : text) Put16(v, static_cast<std::uint16_t>(c));
  return v;
}

std::vector<std::uint8_t> BuildLanguageList(const std::vector<std::uint16_t>& languages) {
  std::vector<std::uint8_t> v = {static_cast<std::uint8_t>(2 + 2 * languages.size()), 3};
  for (auto id : languages) Put16(v, id);
  return v;
}

}  // namespace pelsim
