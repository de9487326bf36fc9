#include "devicelink/setup/SensorSetup.h"

#include "devicelink/setup/CommandOutcome.h"

namespace pel::setup {
namespace {

constexpr int kBrokenLineSensorId = 5;

bool ValidChannel(int pCH) { return pCH >= 1 && pCH <= kChannels; }
// Box models take the three named ranges; a USB sensor also takes ordinal 3
// (the range it reports after a calibration), which its tables still cover.
bool ValidRange(int pRange, bool usb) { return pRange >= 0 && pRange <= (usb ? 3 : 2); }

template <class Outcome>
Outcome Fail(Outcome out, int e) {
  out.error = e;
  return out;
}

}  // namespace

std::string RangeCommand(const SetupView& s) {
  const auto& c = s.channels;
  if (s.model == model::Tolemic || s.model == model::Qor3)
    return FormatCommand("s{21,%d,%d,%d,%d}", c[0].range + 1, c[1].range + 1, c[2].range + 1, c[3].range + 1);
  return FormatCommand("s{21,%d,%d,%d}", c[0].range + 1, c[1].range + 1, c[2].range + 1);
}

RangeOutcome SensorRangeSetting(const SetupView& s, const SensorCatalog& sensors, int pCH, int pRange) {
  RangeOutcome out;
  const SetupView& st = s;
  if (st.terminalBlockUse && st.model != model::SornII) return Fail(std::move(out), error::TerminalOrZeroMode);
  const bool usb = st.model == model::UsbSensors;
  if (!model::IsBox(st.model) && !usb) return out;

  if (!ValidChannel(pCH)) return Fail(std::move(out), error::BadChannel);
  if (!ValidRange(pRange, usb)) return Fail(std::move(out), error::BadRange);
  auto& ch = st.channels[pCH - 1];
  if (!ch.active) return Fail(std::move(out), error::BadChannel);
  if (!sensors.InClass(kClassMultiRange, ch.sensorId)) return Fail(std::move(out), error::NotMultiRange);

  ch.range = pRange;
  if (usb)
    out.usbPacket = UsbRangePacket{pCH - 1, FormatCommand("%d", pRange)};
  else
    out.commands.push_back(RangeCommand(st));
  return out;
}

ZeroOutcome SensorZeroSetting(const SetupView& s, const SensorCatalog& sensors, int pCH, bool pSetting,
                              const std::function<int()>& countUsbDevices,
                              std::span<const CalibrationPoint> points) {
  ZeroOutcome out;
  const SetupView& st = s;
  if (st.terminalBlockUse || !st.setZeroMode) return Fail(std::move(out), error::TerminalOrZeroMode);
  if (!ValidChannel(pCH)) return Fail(std::move(out), error::BadChannel);
  auto& ch = st.channels[pCH - 1];

  if (model::IsBox(st.model)) {
    if (!ch.active) return Fail(std::move(out), error::ZeroInactiveChannel);
    if (!sensors.InClass(kClassCalibration, ch.sensorId)) return out;
    out.commands.push_back(FormatCommand(pSetting ? "s{22,%d,1}" : "s{22,%d,0}", pCH));
    return out;
  }
  if (st.model != model::UsbSensors) return out;

  if (!ch.active) return Fail(std::move(out), error::ZeroInactiveChannel);
  const int present = countUsbDevices ? countUsbDevices() : 0;
  if (!sensors.InClass(kClassCalibration, ch.sensorId) || present <= 0) return out;

  CalibrationOrder order;
  order.channel = pCH - 1;
  if (pSetting && !points.empty()) {
    order.on = true;
    if (ch.sensorId == kBrokenLineSensorId) {
      const auto line = FitBrokenLine(points);
      if (!line) return Fail(std::move(out), error::CalibrationUnsolvable);
      order.coefficients = line->first;
      order.second = line->second;
      order.segmentBreak = line->segmentBreak;
      order.twoSegment = true;
    } else {
      const auto fit = FitCalibration(points);
      if (!fit) return Fail(std::move(out), error::CalibrationUnsolvable);
      order.coefficients = *fit;
    }
  } else {
    order.on = false;
    order.twoSegment = ch.sensorId == kBrokenLineSensorId;
    if (ch.range > 2 || !sensors.InClass(kClassMultiRange, ch.sensorId)) ch.range = 0;
  }
  out.calibration = order;
  return out;
}

CalibrationPointOutcome SetCalibratData(const SetupView& s, const SensorCatalog& sensors, int pCH, double pValue,
                                        double latestReading, int pointCount) {
  CalibrationPointOutcome out;
  if (!ValidChannel(pCH)) {
    out.error = error::BadChannel;
    return out;
  }
  if (!s.setZeroMode || (s.model != model::UsbSensors && s.model != model::Tolemic)) return out;
  out.clearNewReading = true;
  if (!sensors.InClass(kClassCalibration, s.channels[pCH - 1].sensorId)) {
    out.action = PointAction::Clear;
    return out;
  }
  if (s.model == model::UsbSensors && pointCount < kMaxCalibrationPoints) {
    out.action = PointAction::Append;
    out.point = {latestReading, pValue};
  }
  out.accepted = true;
  return out;
}

bool GetSignInvert(const SetupView& s, int Channel) {
  return ValidChannel(Channel) && s.channels[Channel - 1].signInvert;
}

void SetSignInvert(const SetupView& s, int Channel, bool Invert) {
  if (ValidChannel(Channel)) s.channels[Channel - 1].signInvert = Invert;
}

}  // namespace pel::setup
