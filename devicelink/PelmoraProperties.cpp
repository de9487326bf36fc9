// TPelmora: the published channel and acquisition properties whose setters
// follow the set-up rules, and the view of the fields those rules work on.
#include <cstddef>

#include "devicelink/Pelmora.h"
#include "devicelink/sensors/SensorChannels.h"
#include "devicelink/sensors/SensorRegistry.h"
#include "devicelink/sensors/SetupCatalog.h"
#include "devicelink/setup/SetupRules.h"

namespace setup = pel::setup;
namespace sensors = pel::sensors;

setup::SetupView TPelmora::Setup() {
  auto &ps = State();
  auto ch = [&](std::size_t i) -> setup::ChannelView {
    auto &c = ps.sensors.ch[i];
    return {.active = c.active,
            .terminalBlockSelection = c.terminalSelection,
            .sensorId = c.sensorId,
            .name = c.name,
            .unit = c.unit,
            .range = ps.sensorRange[i],
            .resolution = c.resolution,
            .signInvert = F_.signInvert[i]};
  };
  return {.model = ps.modelState,
          .runningMode = F_.RunningMode,
          .samplingTime = F_.SamplingTime,
          .experimentLength = F_.ExperimentLength,
          .noOfData = F_.NoOfData,
          .loopCount = F_.LoopCount,
          .autoStop = F_.AutoStop,
          .maxRecordCount = F_.Max_Record_Count,
          .fastSamplingMode = F_.FastSamplingMode,
          .noOfOverSampling = F_.NoOfOverSampling,
          .chInputMode = F_.CHInputMode,
          .getModeFor8Port = F_.GetModeFor8Port,
          .digitalTimmingMode = F_.DigitalTimmingMode,
          .noOfStroboSlit = F_.NoOfStroboSlit,
          .digitalChannel = ps.digitalChannel,
          .timingLabelChannel = props_.timingLabelChannel,
          .chOutput = F_.CHOutput,
          .terminalBlockUse = F_.TerminalBlockUse,
          .setZeroMode = F_.SetZeroMode,
          .run = F_.Run,
          .aControlIndex = F_.AControlIndex,
          .pwmOptionStored = ps.pwmOptionStored,
          .pwmFreqValue = F_.PWMFreqValue,
          .pwmFreqSelect = F_.PWMFreqSelect,
          .pinValue = ps.pinValue,
          .channels = {ch(0), ch(1), ch(2), ch(3), ch(4), ch(5), ch(6), ch(7)}};
}

// The readers take the same view; none of them writes through it.
setup::SetupView TPelmora::Setup() const {
  return const_cast<TPelmora *>(this)->Setup();
}

void TPelmora::ApplySetterOutcome(const setup::SetterOutcome &out) {
  Frame frame(*this);
  // The rule already changed the fields, so a PelmoraError handler reads the
  // values it is about.
  if (out.clearsErrorNumber)
    F_.ErrorNumber = 0;
  if (out.error != setup::error::None)
    RaiseDeviceError(out.error);
}

void TPelmora::SamplingTime(double t) {
  ApplySetterOutcome(setup::SetSamplingTime(Setup(), t));
}

void TPelmora::ExperimentLength(double length) {
  Frame frame(*this);
  ApplySetterOutcome(setup::SetExperimentLength(Setup(), length));
}

void TPelmora::NoOfOverSampling(int count) {
  Frame frame(*this);
  ApplySetterOutcome(setup::SetNoOfOverSampling(Setup(), count));
}

void TPelmora::CHInputMode(CHInput m) {
  Frame frame(*this);
  // Leaving Digital gives the relabelled channel its sensor's unit and
  // resolutions back.
  const sensors::SetupCatalog sensorTables(SensorSettings(), F_.LanguageID);
  ApplySetterOutcome(setup::SetCHInputMode(Setup(), m, sensorTables));
}

void TPelmora::CHOutput(bool v) {
  ApplySetterOutcome(setup::SetCHOutput(Setup(), v));
}

void TPelmora::PWMFreqValue(int v) {
  Frame frame(*this);
  const sensors::SetupCatalog sensorTables(SensorSettings(), F_.LanguageID);
  ApplySetterOutcome(setup::SetPWMFreqValue(Setup(), v, sensorTables));
}

void TPelmora::PWMFreqSelect(bool v) {
  Frame frame(*this);
  const sensors::SetupCatalog sensorTables(SensorSettings(), F_.LanguageID);
  ApplySetterOutcome(setup::SetPWMFreqSelect(Setup(), v, sensorTables));
}

void TPelmora::NoOfStroboSlit(int v) {
  ApplySetterOutcome(setup::SetNoOfStroboSlit(Setup(), v));
}

bool TPelmora::ChannelFlagAt(int index) const {
  return setup::ChannelFlag(Setup(), index);
}
std::string TPelmora::ChannelUnitAt(int index) const {
  return setup::ChannelUnit(Setup(), index);
}
std::string TPelmora::ChannelNameAt(int index) const {
  return setup::ChannelName(Setup(), index);
}
int TPelmora::ChannelIDAt(int index) const {
  return setup::ChannelID(Setup(), index);
}

SensorRangeType TPelmora::SensorRangeAt(int index) const {
  return static_cast<SensorRangeType>(
      State().sensorRange[static_cast<std::size_t>(index)]);
}

void TPelmora::SetChannelFlagAt(int index, bool v) {
  Frame frame(*this);
  const setup::SetterOutcome out = setup::SetChannelFlag(Setup(), index, v);
  ApplySetterOutcome(out);
  // A malformed registry value reaches the caller; the flag stays set.
  if (out.reloadSensorInfo)
    LoadSensorInfo();
}
