// Starting and stopping a run: the published start and stop, and the stop
// routine shared with the parsers' automatic stop.
#include "devicelink/LinkModel.h"
#include "devicelink/Pelmora.h"

namespace {
namespace model = pel::link::model;
}  // namespace

int TPelmora::Pelmora(bool pRun) {
  Frame frame(*this);
  if (F_.RunningMode == -1) {
    RaiseDeviceError(6);
    return 6;
  }
  if (F_.RunningMode == 3 || F_.RunningMode == 4 || F_.RunningMode == 5) {
    RaiseDeviceError(22);
    return 22;
  }
  if (!pRun) {
    // A stop asked for while the start pumps is run once the start is done,
    // so the start's last steps cannot undo it.
    if (runs_.starting) {
      runs_.stopDuringStart = true;
      return F_.ErrorNumber;
    }
    // Not cleared here: a box model's stop clears it in OutputLine(0), the
    // others report what was last raised.
    StopRun();
    return F_.ErrorNumber;
  }
  runs_.recent.Clear();
  // A run is going, or a handler asks again while this start runs: only the
  // list is cleared, and ErrorNumber goes back as it is.
  if (F_.RunningMode != 0 || runs_.starting) return F_.ErrorNumber;
  if (InExchange()) {
    RaiseDeviceError(22);
    return 22;
  }
  Exchange guard(*this);
  F_.ErrorNumber = 0;
  runs_.startError = 0;
  runs_.starting = true;
  runs_.stopDuringStart = false;
  try {
    const int m = State().modelState;
    if (m == model::SornII || m == model::Aster || m == model::Vaxo || m == model::Qor)
      StartBoxModel(false);
    else if (m == model::Tolemic || m == model::Qor3)
      StartBoxModel(true);
    else if (m == model::Usb)
      StartUsbModel();
  } catch (...) {
    runs_.starting = false;
    throw;
  }
  runs_.starting = false;
  NoteStartError();
  const int raised = runs_.startError;
  if (Released()) return raised;
  if (runs_.stopDuringStart) {
    runs_.stopDuringStart = false;
    StopRun();
  }
  // Setters run by the start clear ErrorNumber: report what this start raised.
  F_.ErrorNumber = raised;
  return raised;
}

void TPelmora::SendStopCommand() { SendCommand(F_.CHInputMode == CHInput::Scope ? "s{88,0}" : "s{10,0}"); }

void TPelmora::HaltAcquisition() {
  Frame frame(*this);
  ++runs_.stopCount;  // parsers still running stop delivering from here on
  auto& s = State();
  try {
    if (model::IsBox(s.modelState)) {
      SendStopCommand();
      if (F_.RunningMode == 6) {
        F_.Run = false;
        F_.RunningMode = 0;
        F_.ExperimentMode = 0;
        s.receive.frameMode = false;
        s.receive.binary = false;
      }
      FlushInput();
      SendOutputLine(0);  // all lines off; like OutputLine, it clears ErrorNumber
      s.receive.frameMode = false;
    } else if (s.modelState == model::Usb) {
      if (runs_.stopUsbSensors) runs_.stopUsbSensors(*this);
    }
  } catch (...) {
  }
  F_.ExperimentMode = 0;
  F_.RunningMode = 0;
  F_.Run = false;
  FireStopExperiment();
  if (!Released()) Host().PumpMessages();
}
