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

// The component's fields and per-process values that the set-up rules read.
setup::SetupState ToSetup(const TPelmora::Fields& f, const pel::link::LinkProcessState& s) {
  setup::SetupState st;
  st.model = s.modelState;
  st.runningMode = f.RunningMode;
  st.fastSamplingMode = f.FastSamplingMode;
  st.chInputMode = static_cast<setup::CHInput>(f.CHInputMode);
  st.terminalBlockUse = f.TerminalBlockUse;
  st.setZeroMode = f.SetZeroMode;
  st.run = f.Run;
  st.aControlIndex = static_cast<setup::PWMOption>(f.AControlIndex);
  st.pwmOptionStored = s.pwmOptionStored;
  st.pwmFreqValue = f.PWMFreqValue;
  st.pwmFreqSelect = f.PWMFreqSelect;
  st.pinValue = {s.PinValue1, s.PinValue2, s.PinValue3};
  for (int i = 0; i < setup::kChannels; ++i) {
    auto& ch = st.channels[i];
    ch.active = s.sensors.ch[i].active;
    ch.sensorId = s.sensors.ch[i].sensorId;
    ch.range = s.sensorRange[i];
    ch.signInvert = f.signInvert[i];
  }
  return st;
}

// What the set-up rules may change, back into the component.
void FromSetup(const setup::SetupState& st, TPelmora::Fields& f, pel::link::LinkProcessState& s) {
  f.RunningMode = st.runningMode;
  f.Run = st.run;
  f.AControlIndex = static_cast<PWMOption>(st.aControlIndex);
  s.pwmOptionStored = st.pwmOptionStored;
  f.PWMFreqValue = st.pwmFreqValue;
  f.PWMFreqSelect = st.pwmFreqSelect;
  s.PinValue1 = st.pinValue[0];
  s.PinValue2 = st.pinValue[1];
  s.PinValue3 = st.pinValue[2];
  for (int i = 0; i < setup::kChannels; ++i) {
    s.sensorRange[i] = static_cast<unsigned char>(st.channels[i].range);
    f.signInvert[i] = st.channels[i].signInvert;
  }
}

}  // namespace

void TPelmora::ClampOutputParameters(int low, int high, int def) {
  auto& s = State();
  const auto pins = setup::ClampOutputParameters({s.PinValue1, s.PinValue2, s.PinValue3}, low, high, def);
  s.PinValue1 = pins[0];
  s.PinValue2 = pins[1];
  s.PinValue3 = pins[2];
}

int TPelmora::PWMOptionSetting(bool pPWM, PWMOption pPWMOption, bool pPWMSelect, int pPWMFreqvalue,
                               int pPinValue1, int pPinValue2, int pPinValue3) {
  F_.ErrorNumber = 0;
  auto out = setup::PWMOptionSetting(ToSetup(F_, State()), pPWM, static_cast<setup::PWMOption>(pPWMOption),
                                     pPWMSelect, pPWMFreqvalue, pPinValue1, pPinValue2, pPinValue3);
  FromSetup(out.state, F_, State());
  if (out.error) RaiseDeviceError(out.error);
  return F_.ErrorNumber;
}

int TPelmora::DemoOutput(bool RunMode) {
  F_.ErrorNumber = 0;
  if (InExchange()) {
    RaiseDeviceError(22);
    return 22;
  }
  Exchange guard(*this);
  auto out = setup::DemoOutput(ToSetup(F_, State()), RunMode);
  // The state first: a host event during a send sees the demo as it will be.
  FromSetup(out.state, F_, State());
  if (out.error) RaiseDeviceError(out.error);
  for (const auto& c : out.commands) SendCommand(c);
  return F_.ErrorNumber;
}

int TPelmora::OutputLine(int iFlag) {
  F_.ErrorNumber = 0;
  if (InExchange()) {
    RaiseDeviceError(22);
    return 22;
  }
  Exchange guard(*this);
  auto out = setup::OutputLine(ToSetup(F_, State()), iFlag);
  if (out.error) RaiseDeviceError(out.error);
  for (const auto& c : out.commands) SendCommand(c);
  return F_.ErrorNumber;
}

int TPelmora::SensorRangeSetting(int pCH, int pRange) {
  F_.ErrorNumber = 0;
  if (InExchange()) {
    RaiseDeviceError(22);
    return 22;
  }
  Exchange guard(*this);
  const auto& classes = SensorClasses(outputs_, F_.LanguageID);
  auto out = setup::SensorRangeSetting(ToSetup(F_, State()), classes, pCH, pRange);
  FromSetup(out.state, F_, State());
  if (out.error) RaiseDeviceError(out.error);
  for (const auto& c : out.commands) SendCommand(c);
  if (out.usbPacket && outputs_.sendUsbRangePacket) outputs_.sendUsbRangePacket(*this, *out.usbPacket);
  return F_.ErrorNumber;
}

int TPelmora::SensorZeroSetting(int pCH, bool pSetting) {
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
  auto out = setup::SensorZeroSetting(ToSetup(F_, State()), classes, pCH, pSetting, count,
                                      std::span<const setup::CalibrationPoint>(points));
  FromSetup(out.state, F_, State());
  // A failed fit publishes nothing: the pending calibration stays as it was.
  if (out.error) RaiseDeviceError(out.error);
  if (out.calibration) outputs_.calibration.Publish(*out.calibration);
  for (const auto& c : out.commands) SendCommand(c);
  return F_.ErrorNumber;
}

bool TPelmora::SetCalibratData(int pCH, double pValue) {
  const double latest = pCH >= 1 && pCH <= setup::kChannels
                            ? outputs_.latestUsbReading[pCH - 1].load(std::memory_order_relaxed)
                            : 0.0;
  const auto& classes = SensorClasses(outputs_, F_.LanguageID);
  const auto out = setup::SetCalibratData(ToSetup(F_, State()), classes, pCH, pValue, latest,
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

bool TPelmora::GetSignInvert(int Channel) const { return setup::GetSignInvert(ToSetup(F_, State()), Channel); }

void TPelmora::SetSignInvert(int Channel, bool Invert) {
  FromSetup(setup::SetSignInvert(ToSetup(F_, State()), Channel, Invert), F_, State());
}
