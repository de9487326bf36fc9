// The start and stop steps of a run.
#include "devicelink/RunSteps.h"

#include <array>
#include <cmath>
#include <string>

#include "devicelink/LinkModel.h"
#include "devicelink/Pelmora.h"
#include "devicelink/records/NumberText.h"
#include "devicelink/setup/AcquisitionSetters.h"

namespace pel::link {
namespace {
using pel::records::FormatFixed;

int CountActive() {
  int n = 0;
  for (const auto& c : LinkIO::State().sensors.ch) n += c.active ? 1 : 0;
  return n;
}

std::string Cmd(const std::string& body) { return "s{" + body + "}"; }

}  // namespace

void RunSteps::NoteStartError() {
  if (F_.ErrorNumber != 0) runs_.startError = F_.ErrorNumber;
}

void RunSteps::StopRun() {
  F_.ExperimentMode = 0;
  try {
    self().HaltAcquisition();
  } catch (...) {
  }
}

void RunSteps::DigitalModuleCheck() {
  const int sensorD = State().sensors.ch[3].sensorId;
  if (!runs_.sensorInClass || !runs_.sensorInClass("DigitalModule", sensorD)) return;
  if (F_.SamplingTime < 0.5) self().RaiseDeviceError(5);
  NoteStartError();
  SendCommand("s{50,0}");
}

void RunSteps::ApplyAcquisitionSetters(double samplingTime) {
  // The rules run back to back on the one set-up view, with no pump between.
  pel::setup::SetSamplingTime(self().Setup(), samplingTime);
  pel::setup::SetExperimentLength(self().Setup(), F_.Max_Record_Count * F_.SamplingTime);
}

void RunSteps::FallBackFromFastMode() {
  F_.FastSamplingMode = false;
  F_.SamplingTime = 0.2;
  // Plan the records again for the new time by the setter's rule; a stale
  // NoOfData would let an automatic stop run far past the planned length.
  pel::setup::FitLengthAndPlan(self().Setup());
  self().RaiseDeviceError(7);
  NoteStartError();
}

// Each step that can run host code (an event, a pump, a wait) is followed
// by a check: a host that let go of the component meanwhile ends the start.
void RunSteps::StartBoxModel(bool tolemicFamily) {
  auto& s = State();
  if (F_.CheckForExperiment) {
    FlushInput();
    Host().PumpMessages();
    if (Released()) return;
    Host().SleepMs(10);
    if (hooks_.autoSensorId) hooks_.autoSensorId(self());
    NoteStartError();
    if (Released()) return;
    Host().SleepMs(tolemicFamily ? 50 : 10);
    if (tolemicFamily) FlushInput();
  }
  if (Released()) return;
  if (!tolemicFamily) {
    FlushInput();
    DigitalModuleCheck();
    if (Released()) return;
    if (CountActive() > 1 && F_.FastSamplingMode && !F_.DigitalTimmingMode) FallBackFromFastMode();
  } else {
    for (int i = 0; i < 8; ++i) {
      const int id = s.sensors.ch[static_cast<size_t>(i)].sensorId;
      s.sensors.ch[static_cast<size_t>(i)].forceSensor = runs_.sensorInClass && runs_.sensorInClass("ForceSensor", id);
      s.sensors.ch[static_cast<size_t>(i)].photogate = runs_.sensorInClass && runs_.sensorInClass("PhotoGateSensor", id);
    }
    DigitalModuleCheck();
  }
  if (Released()) return;
  pel::records::ResetRunState(runs_.stream);
  if (F_.CHInputMode == CHInput::Digital) s.digitalChannel = pel::records::LastActiveChannel(runs_.stream);

  StartByInputMode(tolemicFamily);
  NoteStartError();
  if (Released()) return;

  s.receive.frameMode = true;
  const bool scope = F_.CHInputMode == CHInput::Scope;
  if ((tolemicFamily || !scope) && s.pwmOptionStored) {
    SendStoredOutput();
    Host().SleepMs(30);
  }
  if (Released()) return;
  self().FireStartExperiment();
  if (!Released()) Host().PumpMessages();
  if (Released() || scope || runs_.stopDuringStart) return;
  SendCommand("s{10,1}");
  F_.Run = true;
  F_.RunningMode = 1;
}

void RunSteps::StartByInputMode(bool tolemicFamily) {
  auto& s = State();
  auto& ctx = runs_.stream;
  switch (F_.CHInputMode) {
    case CHInput::Digital: {
      ApplyAcquisitionSetters(0.2);
      if (F_.DigitalTimmingMode) {
        F_.ExperimentMode = 1;
        SendCommand("s{11,2}");
        const auto& o = s.digitalTimingOptions;
        SendCommand(std::string("s{16,1,") + (o[0] ? "1," : "0,") + (o[1] ? "1," : "0,") + (o[2] ? "1}" : "0}"));
        // Sent as the host set it; only the timing parser keeps it to 1 to 255.
        SendCommand(Cmd("16,2," + std::to_string(F_.NoOfStroboSlit)));
      } else {
        F_.ExperimentMode = 3;
        SendCommand("s{11,0}");
        SendCommand(Cmd("13," + std::to_string(s.digitalChannel + 1)));
      }
      s.sensors.ch[static_cast<size_t>(s.digitalChannel)].unit = "Time(s)";
      break;
    }
    case CHInput::Scope: {
      SendCommand("s{11,3}");
      F_.Run = true;
      F_.RunningMode = 6;
      F_.ExperimentMode = 0;
      s.receive.frameMode = false;
      s.receive.binary = true;
      s.scopeCounter = 0;
      s.highSpeed.lastSentTimeIndex = 0;
      if (runs_.scopeRows < 20 || runs_.scopeRows > 32) runs_.scopeRows = 20;
      // The rows the host set decide how much the read takes (10 values a row).
      F_.NoOfData = runs_.scopeRows * 10;
      SendCommand(Cmd("88,1," + std::to_string(runs_.scopeRows)));
      Host().PumpMessages();
      Host().SleepMs(10);
      FlushInput();
      Host().PumpMessages();
      break;
    }
    case CHInput::Analog: {
      if (tolemicFamily) {
        const bool fast = F_.SamplingTime < 0.01;
        F_.ExperimentMode = fast ? 2 : 1;
        SendCommand(fast ? "s{146,1}" : "s{146,0}");
      } else {
        F_.ExperimentMode = F_.FastSamplingMode ? 2 : 1;
        if (F_.TerminalBlockUse)
          for (int i = 0; i < 8; ++i)
            if (s.sensors.ch[static_cast<size_t>(i)].active) s.sensors.ch[static_cast<size_t>(i)].unit = "Voltage(V)";
      }
      FlushInput();
      SendCommand(F_.GetModeFor8Port ? "s{11,5}" : "s{11,1}");
      Host().PumpMessages();
      Host().SleepMs(tolemicFamily ? 10 : 50);
      FlushInput();
      if (tolemicFamily) {
        SendCommand(Cmd("12," + FormatFixed(F_.SamplingTime, 8, 6) + "," + std::to_string(F_.NoOfData)));
      } else {
        SendCommand(F_.FastSamplingMode ? Cmd("13," + std::to_string(ctx.fastChannel + 1)) : "s{13,0}");
        SendCommand(Cmd("12," + FormatFixed(F_.SamplingTime, 5, 3)));
      }
      SendCommand(Cmd("23," + std::to_string(F_.NoOfOverSampling)));
      break;
    }
  }
}

void RunSteps::SendStoredOutput() {
  auto& s = State();
  auto pad4 = [](int v) {
    std::string t = std::to_string(v);
    return t.size() < 4 ? std::string(4 - t.size(), ' ') + t : t;
  };
  if (!F_.PWMFreqSelect)
    SendCommand(Cmd("14," + std::to_string(static_cast<int>(F_.AControlIndex) + 1) + "," + pad4(s.pinValue[0]) + "," +
                    pad4(s.pinValue[1]) + "," + pad4(s.pinValue[2])));
  else
    SendCommand(Cmd("15," + pad4(F_.PWMFreqValue)));
}

void RunSteps::StartUsbModel() {
  auto& s = State();
  if (s.usbFoundCount <= 0) return;
  if (F_.CHInputMode == CHInput::Digital) {
    F_.DigitalTimmingMode = true;
    ApplyAcquisitionSetters(0.2);
  } else {
    F_.DigitalTimmingMode = false;
  }
  pel::records::ResetRunState(runs_.stream);
  // The per-device start packets, the read position and the sensors' start
  // (which fires StartExperiment) belong to the USB sensor side.
  F_.Run = true;
  F_.ExperimentMode = 1;
  F_.RunningMode = 1;
  Host().PumpMessages();
  if (Released()) return;
  if (runs_.startUsbSensors) runs_.startUsbSensors(self());
}

}  // namespace pel::link
