#include "devicelink/setup/ChannelAccessors.h"

namespace pel::setup {
namespace {

bool InRange(int index) { return index >= 0 && index < kChannels; }

constexpr int kChannelD = 3;

bool ChannelDIsAnalogModule(const SetupState& s, const SensorCatalog& sensors) {
  return sensors.InClass(kClassAnalogModule, s.channels[kChannelD].sensorId);
}

SetterOutcome Refused(SetterOutcome out) {
  out.refused = true;
  return out;
}

}  // namespace

bool ChannelFlag(const SetupState& s, int index) {
  if (!InRange(index)) return false;
  const auto& c = s.channels[index];
  if (index < 4) {
    if (s.terminalBlockUse && c.sensorId == 0) return c.terminalBlockSelection;
    return c.active;
  }
  return s.getModeFor8Port && c.sensorId > 0 && c.active;
}

std::string ChannelUnit(const SetupState& s, int index) {
  if (!InRange(index) || !s.channels[index].active) return {};
  return s.channels[index].unit;
}

std::string ChannelName(const SetupState& s, int index) {
  if (!InRange(index)) return {};
  if (!s.channels[index].active) return index < 2 ? std::string() : std::string(" ");
  return s.channels[index].name;
}

int ChannelID(const SetupState& s, int index) {
  if (!InRange(index) || !s.channels[index].active) return -1;
  return s.channels[index].sensorId;
}

SetterOutcome SetChannelFlag(SetupState s, int index, bool v) {
  SetterOutcome out;
  out.state = std::move(s);
  if (index < 0 || index >= 4 || !out.state.terminalBlockUse || out.state.runningMode != 0)
    return Refused(std::move(out));
  out.state.channels[index].terminalBlockSelection = v;
  out.state.channels[index].active = v;
  out.reloadSensorInfo = true;
  return out;
}

SetterOutcome SetCHOutput(SetupState s, bool v) {
  SetterOutcome out;
  out.state = std::move(s);
  out.clearsErrorNumber = true;
  const int m = out.state.model;
  const bool modelHasOutput = m == model::SornII || m == model::Aster || m == model::Qor ||
                              m == model::Tolemic || m == model::Qor3;
  if (v == out.state.chOutput || out.state.runningMode != 0 || !modelHasOutput) return Refused(std::move(out));
  out.state.chOutput = v;
  return out;
}

SetterOutcome SetPWMFreqValue(SetupState s, int v, const SensorCatalog& sensors) {
  SetterOutcome out;
  out.state = std::move(s);
  out.clearsErrorNumber = true;
  const auto& st = out.state;
  if (v == st.pwmFreqValue || st.runningMode != 0 || !st.pwmFreqSelect || !ChannelDIsAnalogModule(st, sensors))
    return Refused(std::move(out));
  out.state.pwmFreqValue = v;
  return out;
}

SetterOutcome SetPWMFreqSelect(SetupState s, bool v, const SensorCatalog& sensors) {
  SetterOutcome out;
  out.state = std::move(s);
  out.clearsErrorNumber = true;
  const auto& st = out.state;
  if (v == st.pwmFreqSelect || st.runningMode != 0 || !ChannelDIsAnalogModule(st, sensors))
    return Refused(std::move(out));
  out.state.pwmFreqSelect = v;
  return out;
}

SetterOutcome SetNoOfStroboSlit(SetupState s, int v) {
  SetterOutcome out;
  out.state = std::move(s);
  out.clearsErrorNumber = true;
  if (v == out.state.noOfStroboSlit || out.state.runningMode != 0) return Refused(std::move(out));
  out.state.noOfStroboSlit = v;
  return out;
}

}  // namespace pel::setup
