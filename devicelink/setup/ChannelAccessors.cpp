#include "devicelink/setup/ChannelAccessors.h"

namespace pel::setup {
namespace {

bool InRange(int index) { return index >= 0 && index < kChannels; }

constexpr int kChannelD = 3;

bool ChannelDIsAnalogModule(const SetupView& s, const SensorCatalog& sensors) {
  return sensors.InClass(kClassAnalogModule, s.channels[kChannelD].sensorId);
}

SetterOutcome Refused(SetterOutcome out) {
  out.refused = true;
  return out;
}

}  // namespace

bool ChannelFlag(const SetupView& s, int index) {
  if (!InRange(index)) return false;
  const auto& c = s.channels[index];
  if (index < 4) {
    if (s.terminalBlockUse && c.sensorId == 0) return c.terminalBlockSelection;
    return c.active;
  }
  return s.getModeFor8Port && c.sensorId > 0 && c.active;
}

std::string ChannelUnit(const SetupView& s, int index) {
  if (!InRange(index) || !s.channels[index].active) return {};
  return s.channels[index].unit;
}

std::string ChannelName(const SetupView& s, int index) {
  if (!InRange(index)) return {};
  if (!s.channels[index].active) return index < 2 ? std::string() : std::string(" ");
  return s.channels[index].name;
}

int ChannelID(const SetupView& s, int index) {
  if (!InRange(index) || !s.channels[index].active) return -1;
  return s.channels[index].sensorId;
}

SetterOutcome SetChannelFlag(const SetupView& s, int index, bool v) {
  SetterOutcome out;
  if (index < 0 || index >= 4 || !s.terminalBlockUse || s.runningMode != 0)
    return Refused(std::move(out));
  s.channels[index].terminalBlockSelection = v;
  s.channels[index].active = v;
  out.reloadSensorInfo = true;
  return out;
}

SetterOutcome SetCHOutput(const SetupView& s, bool v) {
  SetterOutcome out;
  out.clearsErrorNumber = true;
  const int m = s.model;
  const bool modelHasOutput = m == model::SornII || m == model::Aster || m == model::Qor ||
                              m == model::Tolemic || m == model::Qor3;
  if (v == s.chOutput || s.runningMode != 0 || !modelHasOutput) return Refused(std::move(out));
  s.chOutput = v;
  return out;
}

SetterOutcome SetPWMFreqValue(const SetupView& s, int v, const SensorCatalog& sensors) {
  SetterOutcome out;
  out.clearsErrorNumber = true;
  const SetupView& st = s;
  if (v == st.pwmFreqValue || st.runningMode != 0 || !st.pwmFreqSelect || !ChannelDIsAnalogModule(st, sensors))
    return Refused(std::move(out));
  s.pwmFreqValue = v;
  return out;
}

SetterOutcome SetPWMFreqSelect(const SetupView& s, bool v, const SensorCatalog& sensors) {
  SetterOutcome out;
  out.clearsErrorNumber = true;
  const SetupView& st = s;
  if (v == st.pwmFreqSelect || st.runningMode != 0 || !ChannelDIsAnalogModule(st, sensors))
    return Refused(std::move(out));
  s.pwmFreqSelect = v;
  return out;
}

SetterOutcome SetNoOfStroboSlit(const SetupView& s, int v) {
  SetterOutcome out;
  out.clearsErrorNumber = true;
  if (v == s.noOfStroboSlit || s.runningMode != 0) return Refused(std::move(out));
  s.noOfStroboSlit = v;
  return out;
}

}  // namespace pel::setup
