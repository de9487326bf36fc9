#pragma once
// A simulated USB sensor behind a simulated driver device's bulk pipes.
#include <memory>
#include <optional>
#include <string_view>
#include <vector>

#include "sim/usbdriver/SimUsbDriver.h"
#include "sim/usbsensor/UsbSensor.h"

namespace pelsim {

class SensorPeer final : public SimUsbPeer {
 public:
  explicit SensorPeer(std::shared_ptr<usbsensor::UsbSensor> s) : sensor_(std::move(s)) {}
  void Received(const std::vector<std::uint8_t>& bytes) override {
    sensor_->Receive(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
  }
  std::optional<std::vector<std::uint8_t>> Next() override {
    auto p = sensor_->Send();
    if (!p) return std::nullopt;
    return std::vector<std::uint8_t>(p->begin(), p->end());
  }
  bool Present() override { return sensor_->Present(); }

 private:
  std::shared_ptr<usbsensor::UsbSensor> sensor_;
};

}  // namespace pelsim
