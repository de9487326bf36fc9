#include "devicelink/setup/AcquisitionSetters.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "devicelink/setup/Rounding.h"

namespace pel::setup {
namespace {

constexpr double kMaxSamplingTime = 60.0;
constexpr double kFastLimit = 0.05;
constexpr double kFallbackSamplingTime = 0.2;

bool HasFastMode(int m) {
  return m == model::SornII || m == model::Aster || m == model::Vaxo || m == model::Qor;
}

int FirstActiveChannel(const SetupView& s) {
  for (int i = 0; i < kChannels; ++i)
    if (s.channels[i].active) return i;
  return -1;
}

void PlanRecords(const SetupView& s) {
  s.noOfData = PlannedRecords(s.experimentLength, s.samplingTime, s.maxRecordCount);
  s.loopCount = s.noOfData;
}

// With AutoStop the run may not plan more records than the record limit.
void CutLengthToRecordLimit(const SetupView& s) {
  if (s.autoStop && s.maxRecordCount < RoundHalfEven(s.experimentLength / s.samplingTime))
    s.experimentLength = RoundHalfEven(s.samplingTime * s.maxRecordCount);
  if (s.experimentLength < 1.0) s.experimentLength = 1.0;
}

void LabelTimingChannel(const SetupView& s, int ch) {
  auto& c = s.channels[ch];
  c.unit = kTimingUnit;
  for (int r = 0; r < 3; ++r) c.resolution[r] = kTimingResolution;
  s.timingLabelChannel = ch;
}

// Leaving Digital: the timing label must not stay on an analog channel. Only
// what the label replaced (unit and resolutions) comes back from the sensor's
// entry; the name was never touched, so one the host set stays.
void RestoreTimingChannel(const SetupView& s, const SensorCatalog& sensors) {
  if (s.timingLabelChannel < 0 || s.timingLabelChannel >= kChannels) {
    s.timingLabelChannel = -1;
    return;
  }
  auto& c = s.channels[s.timingLabelChannel];
  const SensorInfo info = sensors.Describe(c.sensorId);
  c.unit = info.unit;
  for (int r = 0; r < 3; ++r) c.resolution[r] = info.resolution[r];
  s.timingLabelChannel = -1;
}

}  // namespace

std::optional<double> MinimumSamplingTime(int m) {
  switch (m) {
    case model::SornII:
    case model::Aster:
    case model::Vaxo:
    case model::Qor:
      return 0.005;
    case model::UsbSensors:
      return 0.01;
    case model::Tolemic:
    case model::Qor3:
      return 0.000001;
    default:
      return std::nullopt;
  }
}

int CountActiveChannels(const SetupView& s) {
  return static_cast<int>(std::count_if(s.channels.begin(), s.channels.end(),
                                        [](const ChannelView& c) { return c.active; }));
}

int PlannedRecords(double length, double samplingTime, int maxRecordCount) {
  const double cap = static_cast<double>(maxRecordCount) + 1.0;
  const double planned = RoundHalfEven(length / samplingTime) + 1.0;
  const double n = (!(planned > 0.0) || planned > cap) ? cap : planned;
  return ClampToInt(n, std::numeric_limits<std::int32_t>::min(), std::numeric_limits<std::int32_t>::max());
}

void FitLengthAndPlan(const SetupView& s) {
  CutLengthToRecordLimit(s);
  PlanRecords(s);
}

SetterOutcome SetSamplingTime(const SetupView& s, double t) {
  SetterOutcome out;
  out.clearsErrorNumber = true;
  const SetupView& st = s;
  if (t == st.samplingTime || st.runningMode != 0 || std::isnan(t)) {
    out.refused = true;
    return out;
  }
  if (t > kMaxSamplingTime) t = kMaxSamplingTime;
  const auto minimum = MinimumSamplingTime(st.model);
  if (minimum) {
    if (t < *minimum) t = *minimum;
  } else if (!(t > 0.0)) {
    // No model minimum: a time of 0 or below would divide the record count by zero.
    out.refused = true;
    return out;
  }

  // Decide on fast mode first, so that a time refused with error 7 never
  // reaches the length cut below.
  if (HasFastMode(st.model)) {
    if (t < kFastLimit && CountActiveChannels(st) >= 2) {
      st.fastSamplingMode = false;
      st.samplingTime = kFallbackSamplingTime;
      if (st.experimentLength < 1.0) st.experimentLength = 1.0;
      PlanRecords(st);
      out.error = error::SamplingTooShort;
      return out;
    }
    st.fastSamplingMode = t < kFastLimit;
  }
  st.samplingTime = t;
  FitLengthAndPlan(st);
  return out;
}

SetterOutcome SetExperimentLength(const SetupView& s, double length) {
  SetterOutcome out;
  out.clearsErrorNumber = true;
  const SetupView& st = s;
  if (length != st.experimentLength && length > 0.0 && std::isfinite(length) && st.runningMode == 0) {
    st.experimentLength = length;
    CutLengthToRecordLimit(st);
  } else {
    out.refused = true;
  }
  if (st.experimentLength < 1.0) st.experimentLength = 1.0;
  // Even a refused length plans the records again (LoopCount included).
  PlanRecords(st);
  return out;
}

SetterOutcome SetCHInputMode(const SetupView& s, CHInput m, const SensorCatalog& sensors) {
  SetterOutcome out;
  const SetupView& st = s;
  if (m == st.chInputMode || st.runningMode != 0) {
    out.refused = true;
    return out;
  }
  const CHInput stored = st.getModeFor8Port ? CHInput::Analog : m;
  if (st.chInputMode == CHInput::Digital && stored != CHInput::Digital) RestoreTimingChannel(st, sensors);
  st.chInputMode = stored;
  if (stored != CHInput::Digital) return out;

  const int first = FirstActiveChannel(st);
  if (model::IsBox(st.model)) {
    if (!st.digitalTimmingMode && CountActiveChannels(st) != 1) {
      st.chInputMode = CHInput::Analog;
      out.error = error::DigitalRefused;
      return out;
    }
    if (st.noOfStroboSlit < 1) st.noOfStroboSlit = 1;
    // Timing mode with no active channel: Digital is kept, no channel is labelled.
    if (first >= 0) LabelTimingChannel(st, first);
  } else if (st.model == model::UsbSensors) {
    if (first >= 0) {
      st.digitalChannel = first;
      LabelTimingChannel(st, first);
    }
    if (st.noOfStroboSlit < 1) st.noOfStroboSlit = 1;
  }
  return out;
}

int OverSamplingLimit(double samplingTime) {
  // One over-sample per millisecond of sampling time, and never more than 1000:
  // limit = min(Round(1000 * t), 1000). Error 15 leaves the property at this
  // limit rather than at Round(1000 * t) itself, which exceeds 1000 for times
  // above 1 s and is 0 below 0.5 ms, values the setter would refuse; hence
  // also the floor of 1.
  return ClampToInt(RoundHalfEven(1000.0 * samplingTime), 1, 1000);
}

SetterOutcome SetNoOfOverSampling(const SetupView& s, int count) {
  SetterOutcome out;
  out.clearsErrorNumber = true;
  const SetupView& st = s;
  if (count == st.noOfOverSampling || count <= 0 || st.runningMode != 0) {
    out.refused = true;
    return out;
  }
  const int limit = OverSamplingLimit(st.samplingTime);
  if (count > limit) {
    st.noOfOverSampling = limit;
    out.error = error::OverSamplingTooLarge;
    return out;
  }
  st.noOfOverSampling = count;
  return out;
}

}  // namespace pel::setup
