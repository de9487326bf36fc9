// TPelmora: the published channel and acquisition properties whose setters
// follow the set-up rules, and the snapshot those rules work on.
#include <cstddef>

#include "devicelink/Pelmora.h"
#include "devicelink/sensors/SensorChannels.h"
#include "devicelink/sensors/SensorRegistry.h"
#include "devicelink/sensors/SetupCatalog.h"
#include "devicelink/setup/SetupRules.h"

namespace setup = pel::setup;
namespace sensors = pel::sensors;

setup::SetupState TPelmora::SetupSnapshot() const {
  const auto& ps = State();
  setup::SetupState s;
  s.model = ps.modelState;
  s.runningMode = F_.RunningMode;
  s.samplingTime = F_.SamplingTime;
  s.experimentLength = F_.ExperimentLength;
  s.noOfData = F_.NoOfData;
  s.loopCount = F_.LoopCount;
  s.autoStop = F_.AutoStop;
  s.maxRecordCount = F_.Max_Record_Count;
  s.fastSamplingMode = F_.FastSamplingMode;
  s.noOfOverSampling = F_.NoOfOverSampling;
  s.chInputMode = static_cast<setup::CHInput>(F_.CHInputMode);
  s.getModeFor8Port = F_.GetModeFor8Port;
  s.digitalTimmingMode = F_.DigitalTimmingMode;
  s.noOfStroboSlit = F_.NoOfStroboSlit;
  s.digitalChannel = ps.digitalChannel;
  s.timingLabelChannel = props_.timingLabelChannel;
  s.chOutput = F_.CHOutput;
  s.terminalBlockUse = F_.TerminalBlockUse;
  s.setZeroMode = F_.SetZeroMode;
  s.run = F_.Run;
  s.aControlIndex = static_cast<setup::PWMOption>(F_.AControlIndex);
  s.pwmOptionStored = ps.pwmOptionStored;
  s.pwmFreqValue = F_.PWMFreqValue;
  s.pwmFreqSelect = F_.PWMFreqSelect;
  s.pinValue = {ps.PinValue1, ps.PinValue2, ps.PinValue3};
  for (std::size_t i = 0; i < setup::kChannels; ++i) {
    auto& c = s.channels[i];
    c.active = ps.sensors.ch[i].active;
    c.terminalBlockSelection = ps.sensors.ch[i].terminalSelection;
    c.sensorId = ps.sensors.ch[i].sensorId;
    c.name = ps.sensors.ch[i].name;
    c.unit = ps.sensors.ch[i].unit;
    c.range = ps.sensorRange[i];
    c.resolution = ps.sensors.ch[i].resolution;
    c.signInvert = F_.signInvert[i];
  }
  return s;
}

void TPelmora::TakeSetup(const setup::SetupState& s) {
  auto& ps = State();
  // The model belongs to the link; of the rules only the demo output moves
  // RunningMode (to 3 and back).
  F_.RunningMode = s.runningMode;
  F_.SamplingTime = s.samplingTime;
  F_.ExperimentLength = s.experimentLength;
  F_.NoOfData = s.noOfData;
  F_.LoopCount = s.loopCount;
  F_.AutoStop = s.autoStop;
  F_.Max_Record_Count = s.maxRecordCount;
  F_.FastSamplingMode = s.fastSamplingMode;
  F_.NoOfOverSampling = s.noOfOverSampling;
  F_.CHInputMode = static_cast<CHInput>(s.chInputMode);
  F_.GetModeFor8Port = s.getModeFor8Port;
  F_.DigitalTimmingMode = s.digitalTimmingMode;
  F_.NoOfStroboSlit = s.noOfStroboSlit;
  ps.digitalChannel = s.digitalChannel;
  props_.timingLabelChannel = s.timingLabelChannel;
  F_.CHOutput = s.chOutput;
  F_.TerminalBlockUse = s.terminalBlockUse;
  F_.SetZeroMode = s.setZeroMode;
  F_.Run = s.run;
  F_.AControlIndex = static_cast<PWMOption>(s.aControlIndex);
  ps.pwmOptionStored = s.pwmOptionStored;
  F_.PWMFreqValue = s.pwmFreqValue;
  F_.PWMFreqSelect = s.pwmFreqSelect;
  ps.PinValue1 = s.pinValue[0];
  ps.PinValue2 = s.pinValue[1];
  ps.PinValue3 = s.pinValue[2];
  for (std::size_t i = 0; i < setup::kChannels; ++i) {
    const auto& c = s.channels[i];
    ps.sensors.ch[i].active = c.active;
    ps.sensors.ch[i].terminalSelection = c.terminalBlockSelection;
    ps.sensors.ch[i].sensorId = c.sensorId;
    ps.sensors.ch[i].name = c.name;
    ps.sensors.ch[i].unit = c.unit;
    ps.sensorRange[i] = static_cast<unsigned char>(c.range);
    ps.sensors.ch[i].resolution = c.resolution;
    F_.signInvert[i] = c.signInvert;
  }
}

void TPelmora::ApplySetterOutcome(const setup::SetterOutcome& out) {
  Frame frame(*this);
  // The state first, so a PelmoraError handler reads the values it is about.
  TakeSetup(out.state);
  if (out.clearsErrorNumber) F_.ErrorNumber = 0;
  if (out.error != setup::error::None) RaiseDeviceError(out.error);
}

void TPelmora::SamplingTime(double t) { ApplySetterOutcome(setup::SetSamplingTime(SetupSnapshot(), t)); }

void TPelmora::ExperimentLength(double length) {
  Frame frame(*this);
  ApplySetterOutcome(setup::SetExperimentLength(SetupSnapshot(), length));
}

void TPelmora::NoOfOverSampling(int count) {
  Frame frame(*this);
  ApplySetterOutcome(setup::SetNoOfOverSampling(SetupSnapshot(), count));
}

void TPelmora::CHInputMode(CHInput m) {
  Frame frame(*this);
  // Leaving Digital gives the relabelled channel its sensor's unit and resolutions back.
  const sensors::SetupCatalog sensorTables(SensorSettings(), F_.LanguageID);
  ApplySetterOutcome(setup::SetCHInputMode(SetupSnapshot(), static_cast<setup::CHInput>(m), sensorTables));
}

void TPelmora::CHOutput(bool v) { ApplySetterOutcome(setup::SetCHOutput(SetupSnapshot(), v)); }

void TPelmora::PWMFreqValue(int v) {
  Frame frame(*this);
  const sensors::SetupCatalog sensorTables(SensorSettings(), F_.LanguageID);
  ApplySetterOutcome(setup::SetPWMFreqValue(SetupSnapshot(), v, sensorTables));
}

void TPelmora::PWMFreqSelect(bool v) {
  Frame frame(*this);
  const sensors::SetupCatalog sensorTables(SensorSettings(), F_.LanguageID);
  ApplySetterOutcome(setup::SetPWMFreqSelect(SetupSnapshot(), v, sensorTables));
}

void TPelmora::NoOfStroboSlit(int v) { ApplySetterOutcome(setup::SetNoOfStroboSlit(SetupSnapshot(), v)); }

bool TPelmora::ChannelFlagAt(int index) const { return setup::ChannelFlag(SetupSnapshot(), index); }
std::string TPelmora::ChannelUnitAt(int index) const { return setup::ChannelUnit(SetupSnapshot(), index); }
std::string TPelmora::ChannelNameAt(int index) const { return setup::ChannelName(SetupSnapshot(), index); }
int TPelmora::ChannelIDAt(int index) const { return setup::ChannelID(SetupSnapshot(), index); }

SensorRangeType TPelmora::SensorRangeAt(int index) const {
  return static_cast<SensorRangeType>(State().sensorRange[static_cast<std::size_t>(index)]);
}

void TPelmora::SetChannelFlagAt(int index, bool v) {
  Frame frame(*this);
  const setup::SetterOutcome out = setup::SetChannelFlag(SetupSnapshot(), index, v);
  ApplySetterOutcome(out);
  // A malformed registry value reaches the caller; the flag stays set.
  if (out.reloadSensorInfo) LoadSensorInfo();
}

