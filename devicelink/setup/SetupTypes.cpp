#include "devicelink/setup/SetupTypes.h"

namespace pel::setup {

SetupView View(SetupState &s) {
  auto ch = [&s](int i) -> ChannelView {
    auto &c = s.channels[static_cast<std::size_t>(i)];
    return {.active = c.active,
            .terminalBlockSelection = c.terminalBlockSelection,
            .sensorId = c.sensorId,
            .name = c.name,
            .unit = c.unit,
            .range = c.range,
            .resolution = c.resolution,
            .signInvert = c.signInvert};
  };
  return {.model = s.model,
          .runningMode = s.runningMode,
          .samplingTime = s.samplingTime,
          .experimentLength = s.experimentLength,
          .noOfData = s.noOfData,
          .loopCount = s.loopCount,
          .autoStop = s.autoStop,
          .maxRecordCount = s.maxRecordCount,
          .fastSamplingMode = s.fastSamplingMode,
          .noOfOverSampling = s.noOfOverSampling,
          .chInputMode = s.chInputMode,
          .getModeFor8Port = s.getModeFor8Port,
          .digitalTimmingMode = s.digitalTimmingMode,
          .noOfStroboSlit = s.noOfStroboSlit,
          .digitalChannel = s.digitalChannel,
          .timingLabelChannel = s.timingLabelChannel,
          .chOutput = s.chOutput,
          .terminalBlockUse = s.terminalBlockUse,
          .setZeroMode = s.setZeroMode,
          .run = s.run,
          .aControlIndex = s.aControlIndex,
          .pwmOptionStored = s.pwmOptionStored,
          .pwmFreqValue = s.pwmFreqValue,
          .pwmFreqSelect = s.pwmFreqSelect,
          .pinValue = s.pinValue,
          .channels = {ch(0), ch(1), ch(2), ch(3), ch(4), ch(5), ch(6), ch(7)}};
}

SetupState::operator SetupView() & { return View(*this); }

} // namespace pel::setup
