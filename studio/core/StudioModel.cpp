#include "studio/core/StudioModel.h"

#include <algorithm>
#include <climits>

#include "devicelink/setup/Rounding.h"
#include "studio/core/ChartFeed.h"
#include "studio/core/ConfigTags.h"
#include "studio/core/StudioText.h"

namespace tessaly {

namespace {

// Round(length / sampling time) + 1, kept inside an int.
int capacityFor(double length, double samplingTime) {
  if (!(samplingTime > 0)) return 1;
  const double rounded = pel::setup::RoundHalfEven(length / samplingTime);
  return pel::setup::ClampToInt(rounded, 0, INT_MAX - 2) + 1;
}

int roundToInt(double v) { return pel::setup::ClampToInt(pel::setup::RoundHalfEven(v), INT_MIN, INT_MAX); }

}  // namespace

StudioModel::StudioModel(StudioLink& link, StudioView& view, ChartSurface& chart, StudioSettings settings)
    : link_(link), view_(view), chart_(chart), settings_(std::move(settings)) {}

std::string StudioModel::Text(const texts::Text& t) const {
  return settings_.text ? settings_.text(t) : std::string(t.builtIn);
}

std::string StudioModel::Number(double v) const { return FormatGeneral(v, settings_.decimal); }

void StudioModel::Reset() {
  eightPortMode_ = false;
  bpmChannel_ = 0;
  bpmLevel_ = 3.5;
  eraseKept_ = true;
  keptCount_ = 0;
  InitChart(chart_);
  running_ = false;
  ModeSwitch(true);
  recordCount_ = 0;
  redrawRequest_ = false;
  captured_.fill(false);
}

void StudioModel::ReadFromExcel(const std::string& c) {
  const char dec = settings_.decimal;
  bpmMode_ = false;
  link_.DigitalTimmingMode(false);

  // A bad number stands for the fallback value, also for the run's start.
  if (TagHit t = FindTag(c, "EL["); t.closed) {
    double v;
    try {
      v = ParseNumber(t.content, dec);
    } catch (const BadNumber&) {
      v = 900;
    }
    link_.ExperimentLength(v);
    sheetExperimentLength_ = v;
    studioLoopCount_ = roundToInt(link_.ExperimentLength());
  }
  if (TagHit t = FindTag(c, "ST["); t.closed) {
    double v;
    try {
      v = ParseNumber(t.content, dec);
    } catch (const BadNumber&) {
      v = 0.2;
    }
    link_.SamplingTime(v);
    sheetSamplingTime_ = v;
    studioLoopCount_ = roundToInt(link_.ExperimentLength());
  }

  link_.SetInputMode(InputMode::Analog);
  link_.DigitalTimmingMode(false);

  if (TagHit t = FindTag(c, "DI["); t.found) {
    view_.HideModeCheckBox();
    link_.SetInputMode(InputMode::Digital);
    if (t.closed) {
      try {
        link_.NoOfStroboSlit(ParseInteger(t.content));
      } catch (const BadNumber&) {
        link_.NoOfStroboSlit(1);
      }
    }
    for (int k = 0; k < 8; ++k)
      if (link_.SensorId(k) >= 0) {
        digitalChannel_ = k;
        break;
      }
    view_.SetUnitLabel(digitalChannel_, Text(texts::Seconds));
  }
  if (TagHit t = FindTag(c, "DI2["); t.found) {
    view_.SetUnitLabel(0, Text(texts::Seconds));
    view_.HideModeCheckBox();
    if (link_.TimingModeAvailable()) link_.DigitalTimmingMode(true);
    link_.SetInputMode(InputMode::Digital);
    if (t.closed) {
      try {
        link_.NoOfStroboSlit(ParseInteger(t.content));
      } catch (const BadNumber&) {
        link_.NoOfStroboSlit(1);
      }
    }
  }
  if (TagHit t = FindTag(c, "DC["); t.found) {
    int n = -1;
    if (t.closed) {
      try {
        n = ParseInteger(t.content);
      } catch (const BadNumber&) {
      }
    }
    switch (n) {
      case 1: link_.SetDigitalTiming(false, false, true); break;
      case 2: link_.SetDigitalTiming(false, true, false); break;
      case 3: link_.SetDigitalTiming(false, true, true); break;
      default: link_.SetDigitalTiming(true, false, false); break;
    }
  }
  if (TagHit t = FindTag(c, "OS["); t.closed) {
    try {
      link_.NoOfOverSampling(ParseInteger(t.content));
    } catch (const BadNumber&) {
      link_.NoOfOverSampling(1);
    }
  }
  if (TagHit t = FindTag(c, "LC["); t.closed) {
    // A bad number here, in the level or in the sensor list skips the rest.
    try {
      const int n = ParseInteger(t.content);
      link_.LoopCount(n);
      studioLoopCount_ = n;
      bpmMode_ = true;
      bpmLevel_ = BpmLevelFromText(settings_.bpmLevelText ? settings_.bpmLevelText() : std::string(), dec);
      const std::string list = settings_.bkgSensorList ? settings_.bkgSensorList() : std::string();
      for (int k = 0; k < 8; ++k)
        if (SensorListed(list, link_.SensorId(k))) {
          bpmChannel_ = k;
          break;
        }
    } catch (const BadNumber&) {
    }
  }
  if (TagHit t = FindTag(c, "SR["); t.closed) {
    const auto items = SplitText(t.content + " ", ',');
    if (items.size() >= 3) {
      for (std::size_t i = 0; i < items.size(); ++i) {
        int r;
        try {
          r = ParseInteger(items[i]);
        } catch (const BadNumber&) {
          break;
        }
        if (r >= 1 && r <= 3) link_.SensorRangeSetting(static_cast<int>(i) + 1, r - 1);
      }
    }
  }
  eightPortMode_ = c.find("MODE8[Y]") != std::string::npos;
  view_.ShowEightPorts(eightPortMode_);

  for (int k = 0; k < 8; ++k) {
    const char tag[3] = {static_cast<char>('A' + k), '[', '\0'};
    TagHit t = FindTag(c, tag);
    if (!t.closed) continue;
    const auto items = SplitText(t.content + " ", ';');
    if (items.size() < 4 || ParseInteger(items[0]) != link_.SensorId(k)) continue;
    view_.SetUnitLabel(k, items[1]);
    const double a = ParseNumber(items[2]);
    const double b = ParseNumber(items[3]);
    const int type = items.size() >= 5 ? ParseInteger(items[4]) : 1;
    link_.SetConvertUnit(k + 1, type, a, b);
  }
}

void StudioModel::ReadFastRecordLimit(const std::string& text) {
  const std::string t = Trim(text);
  // A run may store the limit plus two rows; the table holds kMaxRows.
  fastRecordLimit_ = std::clamp(ParseInteger(t.empty() ? "5000" : t), 0, kMaxRows - 2);
}

void StudioModel::FinishSetup() {
  link_.SetChangeModeFor8Port(eightPortMode_);
  link_.AutoSensorID();
  for (int k = 0; k < 8; ++k) {
    const std::string unit = link_.Unit(k);
    const std::size_t open = unit.find('(');
    if (open == std::string::npos) continue;
    const std::size_t close = unit.find(')', open + 1);
    view_.SetUnitLabel(k, close == std::string::npos ? std::string() : unit.substr(open + 1, close - open - 1));
  }
  DisplayBase();
  capacity_ = capacityFor(link_.ExperimentLength(), link_.SamplingTime());
  // The table never needs more rows than the link delivers in one run.
  const int rows = std::min({capacity_, std::max(link_.MaxRecordCount(), 0) + 1, kMaxRows});
  records_.assign(static_cast<std::size_t>(rows), TDataRecord{});
}

void StudioModel::DisplayBase() {
  ChartLayout l;
  l.timeMode = timeMode_;
  l.xAxisLabel = timeMode_ ? Text(texts::TimeAxis) : Text(texts::EventAxis);
  for (int k = 0; k < 8; ++k) {
    l.sensorIds[static_cast<std::size_t>(k)] = link_.SensorId(k);
    l.units[static_cast<std::size_t>(k)] = link_.Unit(k);
  }
  l.eightPorts = eightPortMode_;
  subsetChannels_ = tessaly::DisplayBase(chart_, l);
  fedCount_ = 0;  // the graph holds no rows now
}

std::array<bool, 8> StudioModel::CaptureButtonsShown() const {
  std::array<bool, 8> shown{};
  if (timeMode_) return shown;
  for (int k = 0; k < 8; ++k)
    shown[static_cast<std::size_t>(k)] = (k < 4 || eightPortMode_) && link_.SensorId(k) >= 0;
  return shown;
}

void StudioModel::ModeSwitch(bool timeMode) {
  timeMode_ = timeMode;
  const auto shown = CaptureButtonsShown();
  bool visible[8];
  std::copy(shown.begin(), shown.end(), visible);
  view_.EnableChannelGroup(!timeMode);
  view_.SetCaptureButtons(visible, false);
  if (!timeMode) captured_.fill(false);
}

void StudioModel::EnsureRows(int rows) {
  rows = std::min(rows, kMaxRows);
  if (rows > static_cast<int>(records_.size())) records_.resize(static_cast<std::size_t>(rows));
}

void StudioModel::StartStop() {
  if (running_) {
    link_.Run(false);
    view_.EnableModeCheckBox(true);
    view_.EnableCaptureButtons(false);
    keptCount_ = recordCount_;
    return;
  }
  lastCrossing_ = -1;
  bpmArmed_ = false;
  if (keptCount_ != 0) {
    eraseKept_ = false;
    if (view_.AskEraseKept()) eraseKept_ = true;
  }
  if (eraseKept_) keptCount_ = 0;
  view_.EnableModeCheckBox(false);
  if (eraseKept_) DisplayBase();
  recordCount_ = keptCount_;
  timerBusy_ = false;
  link_.AutoStop(true);
  if (timeMode_) {
    const std::string model = link_.ModelName();
    const bool fastModel = model == "Qor-3" || model == "Tolemic";
    link_.MaxRecordCount(fastModel && sheetSamplingTime_ < 0.01 ? fastRecordLimit_ : 50000);
    link_.SamplingTime(sheetSamplingTime_);
    link_.ExperimentLength(sheetExperimentLength_);
    link_.LoopCount(studioLoopCount_);
  } else {
    link_.SamplingTime(0.2);
    link_.ExperimentLength(900);
  }
  ApplyCapacity();
  link_.Run(true);
  view_.EnableCaptureButtons(true);
}

void StudioModel::ApplyCapacity() {
  capacity_ = capacityFor(link_.ExperimentLength(), link_.SamplingTime());
  const int max = link_.MaxRecordCount();
  if (max < capacity_) capacity_ = std::max(max, 0) + 1;
  // Room for every row this run may store (the analog check stops one past
  // the capacity), kept rows included.
  EnsureRows(capacity_ + 1);
}

void StudioModel::BpmStep(int n) {
  if (!bpmMode_) return;
  const double v = current_[static_cast<std::size_t>(bpmChannel_)];
  if (bpmArmed_) {
    if (v < bpmLevel_) bpmArmed_ = false;
    return;
  }
  if (v >= bpmLevel_) {
    const double t = n * link_.SamplingTime();
    if (lastCrossing_ == -1) {
      lastCrossing_ = t;
    } else {
      shown_.bpmRate = 60 / (t - lastCrossing_);
      shown_.bpm = true;
      lastCrossing_ = t;
    }
    bpmArmed_ = true;
  }
}

void StudioModel::DataLine(const std::string& record) {
  const auto p = SplitText(record, ',');
  if (p.size() < 2) return;
  // A piece that is not a number ends the handling of the line there.
  try {
    shown_.time = p[1];
    shown_.timePending = true;
    if (p.size() < 5) {
      if (p.size() != 2) return;
      const auto k = static_cast<std::size_t>(digitalChannel_);
      current_[k] = ParseNumber(p[1]);
      shown_.digital = true;
      if (!timeMode_) return;
      if (recordCount_ >= static_cast<int>(records_.size())) {
        link_.Run(false);  // the table is full
        return;
      }
      records_[static_cast<std::size_t>(recordCount_)] = {recordCount_ * link_.SamplingTime(), current_};
      ++recordCount_;
      if (recordCount_ >= capacity_) link_.Run(false);
      return;
    }
    shown_.counter = static_cast<long long>(ParseInteger(p[0])) + keptCount_;
    shown_.counterPending = true;
    // A missing piece ends the line as a bad one does (a line of five).
    for (std::size_t k = 0; k < 4; ++k) current_[k] = ParseNumber(2 + k < p.size() ? p[2 + k] : std::string());
    for (std::size_t k = 4; k < 8; ++k) current_[k] = p.size() >= 10 ? ParseNumber(p[2 + k]) : 0.0;
    shown_.analog = true;
    if (!timeMode_) return;
    const int n = recordCount_;
    if (n >= static_cast<int>(records_.size())) {
      link_.Run(false);  // the table is full
      return;
    }
    ++recordCount_;
    BpmStep(n);
    records_[static_cast<std::size_t>(n)] = {n * link_.SamplingTime(), current_};
    if (recordCount_ > capacity_) link_.Run(false);
  } catch (const BadNumber&) {
  }
}

void StudioModel::Started() {
  running_ = true;
  view_.SetRunning(true);
}

void StudioModel::Stopped() {
  ShowNewest();  // the run's last values at once
  running_ = false;
  view_.SetRunning(false);
}

void StudioModel::Capture(int channel) {
  if (channel < 0 || channel > 7) return;
  const auto k = static_cast<std::size_t>(channel);
  captured_[k] = true;
  EnsureRows(recordCount_ + 1);
  if (recordCount_ >= static_cast<int>(records_.size())) return;  // the table is full
  records_[static_cast<std::size_t>(recordCount_)].Values[k] = current_[k];
  view_.MarkCaptured(channel, true);
  // The row is complete once every channel of the graph has its value.
  const auto count = std::count(captured_.begin(), captured_.end(), true);
  if (count == static_cast<std::ptrdiff_t>(subsetChannels_.size())) {
    records_[static_cast<std::size_t>(recordCount_)].Time = 0;
    ++recordCount_;
    captured_.fill(false);
    for (int c = 0; c < 8; ++c) view_.MarkCaptured(c, false);
  }
  redrawRequest_ = true;
}

void StudioModel::ShowNewest() {
  Shown s = std::move(shown_);
  shown_ = Shown{};
  if (s.counterPending)
    view_.SetStatus(0, "[" + std::to_string(s.counter) + " / " + std::to_string(capacity_) + "]");
  if (s.bpm) view_.SetStatus(1, FormatBpm(s.bpmRate, settings_.decimal));
  if (s.timePending) view_.SetStatus(2, s.time);
  for (int k = 0; k < 8; ++k) {
    const bool box = (s.analog && link_.SensorId(k) >= 0) || (s.digital && k == digitalChannel_);
    if (box) view_.SetValueText(k, Number(current_[static_cast<std::size_t>(k)]));
  }
}

void StudioModel::TimerTick() {
  if (timerBusy_) return;
  timerBusy_ = true;
  struct Clear {
    bool& busy;
    ~Clear() { busy = false; }
  } clear{timerBusy_};
  ShowNewest();
  // Only a change of the rows (or a capture) touches the graph.
  if ((fedCount_ != recordCount_ && recordCount_ > 0) || redrawRequest_) {
    redrawRequest_ = false;
    fedCount_ = recordCount_;
    FeedRows(chart_, records_, RedrawWindow(recordCount_, bpmMode_, studioLoopCount_), subsetChannels_, timeMode_);
  }
}

unsigned StudioModel::TimerInterval() const { return TimerIntervalMs(link_.SamplingTime()); }

std::string StudioModel::HandBackText() const {
  TableShape shape;
  shape.withTime = link_.InputModeNow() != InputMode::Digital && timeMode_;
  for (int k = 0; k < 8; ++k) shape.sensorIds[static_cast<std::size_t>(k)] = link_.SensorId(k);
  shape.eightPorts = eightPortMode_;
  return ClipboardTable(records_, recordCount_, shape);
}

}  // namespace tessaly
