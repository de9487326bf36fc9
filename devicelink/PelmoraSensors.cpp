// TPelmora's sensor side: the language at construction, the published
// questions about sensors answered from the registry, and AutoSensorID over
// the component's link. The logic itself lives in devicelink/sensors.
#include <windows.h>

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
  return sensors::sensorList(State().modelState, F_.GetModeFor8Port, F_.TerminalBlockUse, State().sensors);
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
  sensors::loadSensorInfo(SensorSettings(), F_.LanguageID, State().sensors, F_.signInvert,
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
  // The fields are changed where they live: a handler that sets one during
  // the reply wait (SetSignInvert, TerminalBlockUse) is not undone.
  return sensors::autoSensorId(link, SensorSettings(), F_.LanguageID, opt,
                               {F_.RunningMode, F_.ErrorNumber, F_.TerminalBlockUse, F_.signInvert}, s.sensors,
                               [this] { IdentifyUsbSlots(); });
}

void TPelmora::IdentifySensorsAfterConnect() {
  // A registry value that is not a number must not undo a connect; the texts
  // stay as they were and RunningMode is already back at 0.
  try {
    IdentifySensors();
  } catch (const sensors::RegistryValueError&) {
  }
}
