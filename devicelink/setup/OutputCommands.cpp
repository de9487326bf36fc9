#include "devicelink/setup/OutputCommands.h"

namespace pel::setup {
namespace {

CommandOutcome Fail(CommandOutcome out, int e) {
  out.error = e;
  return out;
}

// Steps of PWMOptionSetting after the link checks; DemoOutput applies the
// stored output again through this.
CommandOutcome ApplyOutputSetting(const SetupView& st, CommandOutcome out, bool pPWM, PWMOption option, bool select,
                                  int freq, std::array<int, 3> pins) {
  st.pwmOptionStored = pPWM;
  if (st.fastSamplingMode || st.chInputMode == CHInput::Digital) {
    st.pwmOptionStored = false;
    return Fail(std::move(out), error::OutputRefused);
  }
  if (!pPWM) return out;
  st.aControlIndex = option;
  st.pwmFreqValue = freq;
  st.pinValue = pins;
  st.pwmFreqSelect = option == PWMOption::PWM;
  switch (option) {
    case PWMOption::PWM:
      st.pwmFreqSelect = select;
      st.pinValue = ClampOutputParameters(st.pinValue, 0, 99, 50);
      if (st.pwmFreqValue < 0 || st.pwmFreqValue > 1000) st.pwmFreqValue = 500;
      break;
    case PWMOption::DC_Valtage:
      st.pinValue = ClampOutputParameters(st.pinValue, 50, 5000, 500);
      break;
    default:
      st.pinValue = ClampOutputParameters(st.pinValue, 0, 1000, 500);
      break;
  }
  return out;
}

}  // namespace

std::array<int, 3> ClampOutputParameters(std::array<int, 3> pins, int low, int high, int dflt) {
  for (int& p : pins)
    if (p < low || p > high) p = dflt;
  return pins;
}

CommandOutcome PWMOptionSetting(const SetupView& s, bool pPWM, PWMOption pPWMOption, bool pPWMSelect,
                                int pPWMFreqvalue, int pPinValue1, int pPinValue2, int pPinValue3) {
  CommandOutcome out;
  if (s.runningMode != 0 || s.model != model::SornII) return Fail(std::move(out), error::LinkBusy);
  return ApplyOutputSetting(s, std::move(out), pPWM, pPWMOption, pPWMSelect, pPWMFreqvalue,
                            {pPinValue1, pPinValue2, pPinValue3});
}

std::string OutputSettingCommand(const SetupView& s) {
  if (s.pwmFreqSelect) return FormatCommand("s{15,%4d}", s.pwmFreqValue);
  return FormatCommand("s{14,%d,%4d,%4d,%4d}", static_cast<int>(s.aControlIndex) + 1, s.pinValue[0],
                       s.pinValue[1], s.pinValue[2]);
}

std::string StopCommand(const SetupView& s) {
  return s.chInputMode == CHInput::Scope ? "s{88,0}" : "s{10,0}";
}

CommandOutcome DemoOutput(const SetupView& s, bool runMode) {
  CommandOutcome out;
  const SetupView& st = s;
  const bool demoRunning = st.runningMode == 3;
  if ((st.runningMode != 0 && !demoRunning) || st.model != model::SornII) return Fail(std::move(out), error::LinkBusy);

  if (!runMode) {
    // A demo that runs can always be stopped, even if its setting was dropped since.
    if (!demoRunning && !st.pwmOptionStored) return Fail(std::move(out), error::NoOutputStored);
    out.commands.push_back(StopCommand(st));
    st.runningMode = 0;
    return out;
  }

  if (!st.pwmOptionStored) return Fail(std::move(out), error::NoOutputStored);
  // Re-check the stored output; a refused one starts nothing (and a demo that
  // already runs keeps running, so that it can still be stopped).
  const PWMOption option = st.aControlIndex;
  const bool select = st.pwmFreqSelect;
  const int freq = st.pwmFreqValue;
  const std::array<int, 3> pins = st.pinValue;
  out = ApplyOutputSetting(st, std::move(out), true, option, select, freq, pins);
  if (out.error != error::None) return out;
  out.commands = {"s{11,1}", "s{12,00.200}", OutputSettingCommand(s), "s{10,1}"};
  s.run = true;
  s.runningMode = 3;
  return out;
}

CommandOutcome OutputLine(const SetupView& s, int iFlag) {
  CommandOutcome out;
  if (s.runningMode == -1 || s.model == model::UsbSensors) return Fail(std::move(out), error::LinkBusy);
  out.commands.push_back(iFlag >= 0 && iFlag <= 7 ? FormatCommand("s{50,%1d}", iFlag) : std::string("s{50,0}"));
  return out;
}

}  // namespace pel::setup
