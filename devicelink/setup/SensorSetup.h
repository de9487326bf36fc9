#pragma once
// Measuring range, zero setting, calibration points and sign inversion.

#include <functional>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "devicelink/setup/CalibrationFit.h"
#include "devicelink/setup/CalibrationHandOver.h"
#include "devicelink/setup/SetupTypes.h"

namespace pel::setup {

// USB-sensor packet "1008"/"0019"/"D"/data to the slot device of `channel`.
struct UsbRangePacket {
  static constexpr const char* kCommand = "1008";
  static constexpr const char* kCode = "0019";
  static constexpr const char* kType = "D";
  int channel = 0;  // 0 is A
  std::string data;
};

struct RangeOutcome {
  int error = error::None;
  std::vector<std::string> commands;     // box interfaces
  std::optional<UsbRangePacket> usbPacket;  // USB sensors: send, then read and drop the reply
};

// "s{21,a,b,c}" or, on Tolemic and Qor-3, "s{21,a,b,c,d}"; each range ordinal + 1.
std::string RangeCommand(const SetupView& s);

// pCH 1 to 8; pRange the SensorRangeType ordinal as the caller passed it.
RangeOutcome SensorRangeSetting(const SetupView& s, const SensorCatalog& sensors, int pCH, int pRange);

struct ZeroOutcome {
  int error = error::None;
  std::vector<std::string> commands;          // box interfaces
  std::optional<CalibrationOrder> calibration;  // USB sensors: Publish to the hand-over
};

// countUsbDevices is asked only on the USB path (CountLibUsbSensors or
// USB_CheckOpen, by the use-libusb flag). points: the collected calibration points.
ZeroOutcome SensorZeroSetting(const SetupView& s, const SensorCatalog& sensors, int pCH, bool pSetting,
                              const std::function<int()>& countUsbDevices,
                              std::span<const CalibrationPoint> points);

enum class PointAction { None, Append, Clear };

struct CalibrationPointOutcome {
  bool accepted = false;  // the method's result
  int error = error::None;
  PointAction action = PointAction::None;
  CalibrationPoint point;  // for Append
  bool clearNewReading = false;
};

// latestReading: the channel's newest USB reading; pointCount: points held now.
CalibrationPointOutcome SetCalibratData(const SetupView& s, const SensorCatalog& sensors, int pCH, double pValue,
                                        double latestReading, int pointCount);

// Channel 1 to 8; outside: false / ignored.
bool GetSignInvert(const SetupView& s, int Channel);
void SetSignInvert(const SetupView& s, int Channel, bool Invert);

}  // namespace pel::setup
