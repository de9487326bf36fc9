#pragma once
// The packet sequences the link sends to a USB sensor for a run's set-up, its
// start and stop, and a calibration.
#include <array>
#include <vector>

#include "devicelink/setup/CalibrationHandOver.h"
#include "devicelink/usb/UsbPacket.h"

namespace pel::usb {

struct RunSetup {
  double samplingTime = 0.2;
  bool adc = false;                  // ADC
  bool digitalPosition = false;      // this position times in digital input mode
  std::array<bool, 3> digitalTiming{true, false, false};
  int noOfStroboSlit = 1;
};

// Before the start: the sampling interval and input of an analog position,
// or the timing options of the digital one.
std::vector<UsbCommand> RunSetupPackets(const RunSetup& s);

// To the sensor of the order's channel. rangeOrdinal is the channel's range,
// sent back on a reset. Empty for a calibration whose coefficients are not
// finite or whose segment break the packets cannot carry.
std::vector<UsbCommand> CalibrationPackets(const setup::CalibrationOrder& order, int rangeOrdinal);

UsbCommand Packet(const char* command, const char* code, const char* type = "", std::string data = {});

}  // namespace pel::usb
