// Scope preparation (time base, rows, shown channels), the ignored trigger
// setting and the 4/8-port switch. The read itself is in PelmoraBlockRead.cpp.
#include <string>

#include "devicelink/Pelmora.h"
#include "devicelink/records/ScopeRecords.h"

void TPelmora::SetScopeTime(int Time) {
  Frame frame(*this);
  const auto seconds = pel::records::ScopeTimeSeconds(Time);
  if (!seconds) return;
  // Set directly: scope time bases lie below the SamplingTime property's limits.
  F_.SamplingTime = *seconds;
  State().highSpeed.scopeTimeIndex = Time;
  SendCommand("s{89," + std::to_string(Time) + "}");
  F_.ExperimentLength = F_.NoOfData * F_.SamplingTime;
}

void TPelmora::SetScopeRows(int Rows) {
  Frame frame(*this);
  if (Rows < 20 || Rows > 32 || F_.RunningMode != 0) return;
  runs_.scopeRows = Rows;
  F_.NoOfData = Rows * 10;
  F_.ExperimentLength = F_.NoOfData * F_.SamplingTime;
}

void TPelmora::SetScopeSensor(const std::string& SensorList) {
  Frame frame(*this);
  auto& columns = State().highSpeed.scopeColumns;
  try {
    columns = pel::records::ParseScopeSensorList(SensorList);
  } catch (...) {
    columns = {};
    columns.map[0] = 0;
    columns.count = 1;
  }
}

void TPelmora::SetScopeTriggerMode(int, int, double) {}

bool TPelmora::SetChangeModeFor8Port(bool pValue) {
  Frame frame(*this);
  F_.GetModeFor8Port = F_.Mode8Port && pValue;
  return F_.GetModeFor8Port;
}
