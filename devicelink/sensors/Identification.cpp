#include "devicelink/sensors/Identification.h"

namespace pel::sensors {
namespace {

// Puts RunningMode back to idle however the identification ends, unless
// something else (a close during the reply wait) has set it meanwhile.
class IdleOnExit {
 public:
  explicit IdleOnExit(int& mode) : mode_(mode) {}
  IdleOnExit(const IdleOnExit&) = delete;
  IdleOnExit& operator=(const IdleOnExit&) = delete;
  ~IdleOnExit() {
    if (mode_ == kRunningIdentifying) mode_ = kRunningIdle;
  }

 private:
  int& mode_;
};

}  // namespace

IdentifyCommands identifyCommands(bool mode8Port, InputMode inputMode, bool digitalTiming) {
  if (mode8Port) return {"s{11,5}", "s{20,2}"};
  if (inputMode != InputMode::Digital) return {"s{11,1}", "s{20}"};
  return {digitalTiming ? "s{11,2}" : "s{11,0}", "s{20}"};
}

bool isBoxModel(int modelState) {
  switch (modelState) {
    case 0: case 1: case 2: case 4: case 5: case 7:
      return true;
    default:
      return false;
  }
}

int autoSensorId(IdentifyLink& link, const SensorRegistry& reg, int languageId, const IdentifyOptions& opt,
                 const IdentifyFields& f, SensorChannels& t, const std::function<void()>& usbPath) {
  int& runningMode = f.runningMode;
  f.errorNumber = 0;
  if (runningMode != kRunningIdle) {
    link.raiseDeviceError(kErrorBusy);
    return kErrorBusy;
  }
  runningMode = kRunningIdentifying;
  const IdleOnExit idle(runningMode);

  if (isBoxModel(opt.modelState)) {
    link.pumpAndPoll();
    const IdentifyCommands cmd = identifyCommands(opt.mode8Port, opt.inputMode, opt.digitalTiming);
    link.sendCommand(cmd.inputMode);
    // An 8-port interface answers its mode switch (the connect's probe
    // relies on that): a reply arriving after a bare flush would be taken
    // for the ID list, so it is awaited first.
    if (opt.mode8Port) link.waitReply();
    link.flushInput();
    link.sendCommand(cmd.identify);
    const std::string reply = link.waitReply();
    if (applyIdReply(reply, opt.mode8Port, opt.modelState, reg, t, f.terminalBlockUse) != 0)
      link.raiseDeviceError(kErrorTooFewIds);
  } else if (opt.modelState == kModelUsbSensors) {
    if (usbPath) usbPath();
  }

  // An event handler run during the wait may have changed the mode: only an
  // identification still under way loads.
  if (runningMode == kRunningIdentifying) reloadIfChanged(reg, languageId, t, f.signInvert);
  return f.errorNumber;
}

}  // namespace pel::sensors
