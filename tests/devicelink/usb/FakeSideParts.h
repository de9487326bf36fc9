#pragma once
// What a USB sensor side is built over besides its bus, held by a test rig:
// the tables it fills and a slot store in memory that counts its saves.
#include <array>
#include <atomic>
#include <string>

#include "devicelink/usb/UsbSensorSide.h"

namespace fakeusb {

struct SideTables {
  pel::usb::UsbSlotTable slots{};
  int found = 0;
  std::array<unsigned char, 8> ranges{};
  std::array<std::atomic<double>, 8> latest{};
  std::atomic<bool> fresh{false};

  pel::usb::UsbTables Tables() { return {slots, found, ranges, latest, fresh}; }
};

class Store final : public pel::usb::UsbSlotStore {
 public:
  std::array<std::string, pel::usb::kSlots> ids;
  int saves = 0;
  std::array<std::string, pel::usb::kSlots> Load() override { return ids; }
  void Save(const std::array<std::string, pel::usb::kSlots>& v) override {
    ids = v;
    ++saves;
  }
};

}  // namespace fakeusb
