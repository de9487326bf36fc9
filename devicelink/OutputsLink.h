#pragma once
#include <array>
#include <atomic>
#include <functional>
#include <memory>

#include "devicelink/setup/CalibrationHandOver.h"
#include "devicelink/setup/SensorSetup.h"
#include "devicelink/setup/SetupTypes.h"

class TPelmora;

namespace pel::link {

// What the outputs and sensor set-up share with the USB sensor side.
struct OutputsLink {
  // Sent to and read back by the USB sensor poll (which may run on the USB
  // polling thread); the hand-over does its own locking.
  pel::setup::CalibrationHandOver calibration;
  // Newest value of each USB sensor channel, written by the USB sensor side.
  std::array<std::atomic<double>, 8> latestUsbReading{};
  // Main thread. Unset: the sensor classes come from the registry.
  std::shared_ptr<const pel::setup::SensorCatalog> catalog;
  // Main thread. Unset: libusb's count or the driver's present devices.
  std::function<int()> countUsbDevices;
  // Main thread. The range packet of USB sensors: sends it to the channel's
  // slot device and drops the reply. Unset: nothing goes out.
  std::function<void(TPelmora&, const pel::setup::UsbRangePacket&)> sendUsbRangePacket;
};

}  // namespace pel::link
