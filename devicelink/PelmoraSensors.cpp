// TPelmora's sensor side: the language at construction, the published
// questions about sensors answered from the registry, and AutoSensorID over
// the component's link. The logic itself lives in devicelink/sensors.
#include <windows.h>
#include <array>
#include <cstddef>

#include "devicelink/Pelmora.h"
#include "devicelink/sensors/Identification.h"
#include "devicelink/sensors/RegistrySource.h"
#include "devicelink/sensors/SensorChannels.h"
#include "devicelink/sensors/SensorRegistry.h"

namespace sensors = pel::sensors;

namespace {

// AutoSensorID's exchange with the interface, through the component's link.
class ComponentLink final : public sensors::IdentifyLink {
 public:
  explicit ComponentLink(TPelmora& p) : p_(p) {}
  void pumpAndPoll() override {
    p_.Host().PumpMessages();
    p_.PollInput();
  }
  void sendCommand(std::string_view command) override { p_.SendCommand(std::string(command)); }
  void flushInput() override { p_.FlushInput(); }
  std::string waitReply() override { return p_.WaitReply(); }
  void raiseDeviceError(int number) override { p_.RaiseDeviceError(number); }

 private:
  TPelmora& p_;
};

sensors::InputMode inputModeOf(CHInput mode) {
  switch (mode) {
    case CHInput::Digital:
      return sensors::InputMode::Digital;
    case CHInput::Scope:
      return sensors::InputMode::Scope;
    case CHInput::Analog:
      break;
  }
  return sensors::InputMode::Analog;
}

// The sign-invert flags are the instance's; the loads read and clear them in
// the per-process table, so they travel there and back around each load.
class InstanceSignInvert {
 public:
  InstanceSignInvert(std::array<bool, 8>& flags, sensors::SensorChannels& t) : flags_(flags), t_(t) {
    for (std::size_t i = 0; i < flags_.size(); ++i) t_.ch[i].signInvert = flags_[i];
  }
  ~InstanceSignInvert() {
    for (std::size_t i = 0; i < flags_.size(); ++i) flags_[i] = t_.ch[i].signInvert;
  }
  InstanceSignInvert(const InstanceSignInvert&) = delete;
  InstanceSignInvert& operator=(const InstanceSignInvert&) = delete;

 private:
  std::array<bool, 8>& flags_;
  sensors::SensorChannels& t_;
};

}  // namespace

const sensors::SensorRegistry& TPelmora::SensorSettings() {
  static const sensors::RegistrySource source;
  static const sensors::SensorRegistry registry(source);
  return registry;
}

void TPelmora::LoadLanguageID() { F_.LanguageID = SensorSettings().loadLanguageId(GetSystemDefaultLangID()); }

void TPelmora::SetLanguageID(int value) { F_.LanguageID = SensorSettings().setLanguageId(F_.LanguageID, value); }

bool TPelmora::IsPartOfSensor(int sensorId, const std::string& className) const {
  return SensorSettings().isPartOfSensor(sensorId, className);
}

std::string TPelmora::GetSensorList() const {
  return sensors::sensorList(State().modelState, F_.GetModeFor8Port, State().sensors);
}

int TPelmora::FindMultipleSensor(int sensorId) const { return SensorSettings().findMultipleSensor(sensorId); }

std::string TPelmora::GetSensorSubID(int sensorId) const { return SensorSettings().sensorSubId(sensorId); }

std::string TPelmora::GetSensorName(int sensorId, bool full) const {
  return SensorSettings().getSensorName(F_.LanguageID, sensorId, full);
}

std::string TPelmora::GetSensorUnit(int sensorId, bool full, bool name) const {
  return SensorSettings().getSensorUnit(F_.LanguageID, sensorId, full, name);
}

bool TPelmora::LoadSensorInfo() {
  Frame frame(*this);
  const auto& ch = State().sensors.ch;
  InstanceSignInvert invert(F_.signInvert, State().sensors);
  sensors::loadSensorInfo(SensorSettings(), F_.LanguageID, State().sensors,
                          {ch[0].sensorId, ch[1].sensorId, ch[2].sensorId, ch[3].sensorId});
  return true;
}

int TPelmora::AutoSensorID() {
  Frame frame(*this);
  if (InExchange()) {
    RaiseDeviceError(sensors::kErrorBusy);
    return sensors::kErrorBusy;
  }
  Exchange guard(*this);
  return IdentifySensors();
}

int TPelmora::IdentifySensors() {
  Frame frame(*this);
  auto& s = State();
  sensors::IdentifyOptions opt;
  opt.modelState = s.modelState;
  opt.mode8Port = F_.GetModeFor8Port;
  opt.inputMode = inputModeOf(F_.CHInputMode);
  opt.digitalTiming = F_.DigitalTimmingMode;
  ComponentLink link(*this);
  InstanceSignInvert invert(F_.signInvert, s.sensors);
  try {
    const int result = sensors::autoSensorId(link, SensorSettings(), F_.LanguageID, opt, F_.RunningMode,
                                             F_.ErrorNumber, s.sensors, [this] { IdentifyUsbSlots(); });
    F_.TerminalBlockUse = s.sensors.terminalBlockUse;
    return result;
  } catch (...) {
    // The IDs were taken before the reload failed.
    F_.TerminalBlockUse = s.sensors.terminalBlockUse;
    throw;
  }
}

void TPelmora::IdentifySensorsAfterConnect() {
  // A registry value that is not a number must not undo a connect; the texts
  // stay as they were and RunningMode is already back at 0.
  try {
    IdentifySensors();
  } catch (const sensors::RegistryValueError&) {
  }
}
