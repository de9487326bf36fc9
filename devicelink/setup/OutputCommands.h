#pragma once
// The waveform / PWM output, the demo output and the digital output lines.

#include <array>

#include "devicelink/setup/CommandOutcome.h"
#include "devicelink/setup/SetupTypes.h"

namespace pel::setup {

// Each pin value below low or above high becomes dflt (replaced, not clamped).
std::array<int, 3> ClampOutputParameters(std::array<int, 3> pins, int low, int high, int dflt);

CommandOutcome PWMOptionSetting(const SetupView& s, bool pPWM, PWMOption pPWMOption, bool pPWMSelect,
                                int pPWMFreqvalue, int pPinValue1, int pPinValue2, int pPinValue3);

// The stored output's commands as a run or demo sends them: the frequency
// command when PWMFreqSelect is set, else the waveform command.
std::string OutputSettingCommand(const SetupView& s);

// Stop command of a run or demo: scope runs stop with their own code.
std::string StopCommand(const SetupView& s);

CommandOutcome DemoOutput(const SetupView& s, bool runMode);
CommandOutcome OutputLine(const SetupView& s, int iFlag);

}  // namespace pel::setup
