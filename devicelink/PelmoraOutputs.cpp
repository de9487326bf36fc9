// TPelmora's outputs and sensor set-up: the waveform and demo output, the
// digital output lines, measuring ranges, zero setting and calibration, sign
// inversion. The rules live in devicelink/setup; this file hands them the
// component's state, keeps what they return and sends their commands.
#include <span>

#include "usblib/Vantiro.h"
#include "devicelink/Pelmora.h"
#include "devicelink/sensors/SensorRegistry.h"
#include "devicelink/sensors/SetupCatalog.h"
#include "devicelink/setup/SetupRules.h"

namespace setup = pel::setup;

namespace {

// The registry's sensor classes in the component's current language, unless
// the host (a test) gave tables of its own.
const setup::SensorCatalog& SensorClasses(TPelmora::OutputsLink& o, const int& languageId) {
  if (!o.catalog) o.catalog = std::make_shared<pel::sensors::SetupCatalog>(TPelmora::SensorSettings(), languageId);
  return *o.catalog;
}

}  // namespace

void TPelmora::ClampOutputParameters(int low, int high, int def) {
  auto& s = State();
  s.pinValue = setup::ClampOutputParameters(s.pinValue, low, high, def);
}

int TPelmora::PWMOptionSetting(bool pPWM, PWMOption pPWMOption, bool pPWMSelect, int pPWMFreqvalue,
                               int pPinValue1, int pPinValue2, int pPinValue3) {
  Frame frame(*this);
  F_.ErrorNumber = 0;
  auto out = setup::PWMOptionSetting(Setup(), pPWM, pPWMOption,
                                     pPWMSelect, pPWMFreqvalue, pPinValue1, pPinValue2, pPinValue3);
  if (out.error) RaiseDeviceError(out.error);
  return F_.ErrorNumber;
}

int TPelmora::DemoOutput(bool RunMode) {
  Frame frame(*this);
  F_.ErrorNumber = 0;
  if (InExchange()) {
    RaiseDeviceError(22);
    return 22;
  }
  Exchange guard(*this);
  auto out = setup::DemoOutput(Setup(), RunMode);
  // The rule changed the fields before any send: a host event during a send
  // sees the demo as it will be.
  if (out.error) RaiseDeviceError(out.error);
  for (const auto& c : out.commands) SendCommand(c);
  return F_.ErrorNumber;
}

int TPelmora::OutputLine(int iFlag) {
  Frame frame(*this);
  F_.ErrorNumber = 0;
  if (InExchange()) {
    RaiseDeviceError(22);
    return 22;
  }
  Exchange guard(*this);
  return SendOutputLine(iFlag);
}

int TPelmora::SendOutputLine(int iFlag) {
  F_.ErrorNumber = 0;
  auto out = setup::OutputLine(Setup(), iFlag);
  if (out.error) RaiseDeviceError(out.error);
  for (const auto& c : out.commands) SendCommand(c);
  return F_.ErrorNumber;
}

int TPelmora::SensorRangeSetting(int pCH, int pRange) {
  Frame frame(*this);
  F_.ErrorNumber = 0;
  if (InExchange()) {
    RaiseDeviceError(22);
    return 22;
  }
  Exchange guard(*this);
  const auto& classes = SensorClasses(outputs_, F_.LanguageID);
  auto out = setup::SensorRangeSetting(Setup(), classes, pCH, pRange);
  if (out.error) RaiseDeviceError(out.error);
  for (const auto& c : out.commands) SendCommand(c);
  if (out.usbPacket && outputs_.sendUsbRangePacket) outputs_.sendUsbRangePacket(*this, *out.usbPacket);
  return F_.ErrorNumber;
}

int TPelmora::SensorZeroSetting(int pCH, bool pSetting) {
  Frame frame(*this);
  F_.ErrorNumber = 0;
  if (InExchange()) {
    RaiseDeviceError(22);
    return 22;
  }
  Exchange guard(*this);
  auto count = [this]() -> int {
    if (outputs_.countUsbDevices) return outputs_.countUsbDevices();
    try {
      return State().useLibUsb ? env_.usb->LibUsbCount() : USB_CheckOpen();
    } catch (...) {
      return 0;  // a library that fails counts as no device
    }
  };
  const auto points = outputs_.calibration.Points();
  const auto& classes = SensorClasses(outputs_, F_.LanguageID);
  auto out = setup::SensorZeroSetting(Setup(), classes, pCH, pSetting, count,
                                      std::span<const setup::CalibrationPoint>(points));
  // A failed fit publishes nothing: the pending calibration stays as it was.
  if (out.error) RaiseDeviceError(out.error);
  if (out.calibration) outputs_.calibration.Publish(*out.calibration);
  for (const auto& c : out.commands) SendCommand(c);
  return F_.ErrorNumber;
}

bool TPelmora::SetCalibratData(int pCH, double pValue) {
  Frame frame(*this);
  const double latest = pCH >= 1 && pCH <= setup::kChannels
                            ? outputs_.latestUsbReading[pCH - 1].load(std::memory_order_relaxed)
                            : 0.0;
  const auto& classes = SensorClasses(outputs_, F_.LanguageID);
  const auto out = setup::SetCalibratData(Setup(), classes, pCH, pValue, latest,
                                          outputs_.calibration.PointCount());
  if (out.error) {
    RaiseDeviceError(out.error);
    return false;
  }
  if (out.action == setup::PointAction::Append) outputs_.calibration.AddPoint(out.point);
  if (out.action == setup::PointAction::Clear) outputs_.calibration.ClearPoints();
  if (out.clearNewReading) State().usbNewReading = false;
  return out.accepted;
}

bool TPelmora::GetSignInvert(int Channel) const { return setup::GetSignInvert(Setup(), Channel); }

void TPelmora::SetSignInvert(int Channel, bool Invert) {
  Frame frame(*this);
  setup::SetSignInvert(Setup(), Channel, Invert);
}
