#pragma once
// AutoSensorID's course: the busy check, the commands for the model and mode,
// the reply into the channel tables and the reload of texts when an ID
// changed. The component supplies the exchange with the interface.
#include <functional>
#include <string>
#include <string_view>

#include "devicelink/sensors/IdReply.h"

namespace pel::sensors {

inline constexpr int kErrorBusy = 22;
inline constexpr int kRunningIdle = 0;
inline constexpr int kRunningIdentifying = 4;
inline constexpr int kModelUsbSensors = 3;

// CHInput ordinals.
enum class InputMode { Digital = 0, Analog = 1, Scope = 2 };

// What the component's link layer does for the identification.
class IdentifyLink {
 public:
  virtual ~IdentifyLink() = default;
  // Pump the host's message queue once and run PollInput once.
  virtual void pumpAndPoll() = 0;
  virtual void sendCommand(std::string_view command) = 0;
  virtual void flushInput() = 0;
  // The raw reply; empty after a time-out.
  virtual std::string waitReply() = 0;
  // RaiseDeviceError: sets ErrorNumber and fires PelmoraError.
  virtual void raiseDeviceError(int number) = 0;
};

struct IdentifyOptions {
  int modelState = -1;
  bool mode8Port = false;  // GetModeFor8Port
  InputMode inputMode = InputMode::Analog;
  bool digitalTiming = false;  // DigitalTimmingMode
};

struct IdentifyCommands {
  std::string_view inputMode;  // "s{11,..}", its reply is discarded
  std::string_view identify;   // "s{20}" or "s{20,2}"
};
IdentifyCommands identifyCommands(bool mode8Port, InputMode inputMode, bool digitalTiming);

// Whether the model state speaks the box protocol (0, 1, 2, 4, 5, 7).
bool isBoxModel(int modelState);

// The component's own fields that the identification changes in place
// (raiseDeviceError is expected to set the same errorNumber).
struct IdentifyFields {
  int& runningMode;
  int& errorNumber;
  bool& terminalBlockUse;
  SignInvertFlags& signInvert;
};

// AutoSensorID. In 8-port mode the reply to "s{11,5}" is awaited and dropped
// before the flush. Returns the final errorNumber: 0, 22 (not idle: nothing
// sent, nothing changed) or 30. usbPath runs for model state 3. runningMode
// goes from 4 back to 0 on every way out, also when a registry value that is
// not a number throws RegistryValueError out of the reload (the exception
// then reaches the caller).
int autoSensorId(IdentifyLink& link, const SensorRegistry& reg, int languageId, const IdentifyOptions& opt,
                 const IdentifyFields& f, SensorChannels& t, const std::function<void()>& usbPath = {});

}  // namespace pel::sensors
