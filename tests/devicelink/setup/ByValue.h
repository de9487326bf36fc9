#pragma once
// The rules change the fields they are given in place. These cases read
// better as "state in, state out": each adapter runs the rule on its own copy
// of the state and hands back the outcome with that copy as `state`, so one
// case can start from the same state again.
#include <functional>
#include <span>
#include <utility>

#include "devicelink/setup/SetupRules.h"

namespace pel::setup::test::byvalue {

template <class Out>
struct Kept : Out {
  SetupState state;
};

#define PEL_RULE_BY_VALUE(Rule)                                        \
  template <class... A>                                                \
  auto Rule(SetupState s, A&&... a) {                                  \
    auto out = ::pel::setup::Rule(s, std::forward<A>(a)...);           \
    return Kept<decltype(out)>{std::move(out), std::move(s)};          \
  }
#define PEL_READ_BY_VALUE(Rule)                                        \
  template <class... A>                                                \
  auto Rule(SetupState s, A&&... a) {                                  \
    return ::pel::setup::Rule(s, std::forward<A>(a)...);               \
  }

PEL_RULE_BY_VALUE(SetSamplingTime)
PEL_RULE_BY_VALUE(SetExperimentLength)
PEL_RULE_BY_VALUE(SetCHInputMode)
PEL_RULE_BY_VALUE(SetNoOfOverSampling)
PEL_RULE_BY_VALUE(SetChannelFlag)
PEL_RULE_BY_VALUE(SetCHOutput)
PEL_RULE_BY_VALUE(SetPWMFreqValue)
PEL_RULE_BY_VALUE(SetPWMFreqSelect)
PEL_RULE_BY_VALUE(SetNoOfStroboSlit)
PEL_RULE_BY_VALUE(PWMOptionSetting)
PEL_RULE_BY_VALUE(DemoOutput)
PEL_RULE_BY_VALUE(OutputLine)
PEL_RULE_BY_VALUE(SensorRangeSetting)
PEL_READ_BY_VALUE(CountActiveChannels)
PEL_READ_BY_VALUE(ChannelFlag)
PEL_READ_BY_VALUE(ChannelUnit)
PEL_READ_BY_VALUE(ChannelName)
PEL_READ_BY_VALUE(ChannelID)
PEL_READ_BY_VALUE(OutputSettingCommand)
PEL_READ_BY_VALUE(StopCommand)
PEL_READ_BY_VALUE(RangeCommand)
PEL_READ_BY_VALUE(SetCalibratData)
PEL_READ_BY_VALUE(GetSignInvert)

// Spelled out: callers pass the points as a braced list.
inline Kept<ZeroOutcome> SensorZeroSetting(SetupState s, const SensorCatalog& sensors, int pCH, bool pSetting,
                                           const std::function<int()>& countUsbDevices,
                                           std::span<const CalibrationPoint> points) {
  auto out = ::pel::setup::SensorZeroSetting(s, sensors, pCH, pSetting, countUsbDevices, points);
  return {std::move(out), std::move(s)};
}

#undef PEL_RULE_BY_VALUE
#undef PEL_READ_BY_VALUE

}  // namespace pel::setup::test::byvalue
