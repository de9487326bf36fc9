#pragma once
// The state and handlers of the studio's form: the configuration string, the
// record table, start and stop, the link's records and events, event-mode
// captures, the beats-per-minute readout and the graph feed. Main thread
// only; the form forwards its controls' and the link's events here.
#include <array>
#include <functional>
#include <string>
#include <vector>

#include "studio/core/ChartSurface.h"
#include "studio/core/RecordTable.h"
#include "studio/core/StudioLink.h"
#include "studio/core/StudioTexts.h"
#include "studio/core/StudioView.h"

namespace tessaly {

// What the form reads from the settings.
struct StudioSettings {
  // A dialog text: the registry's, or the built-in one when it has none.
  std::function<std::string(const texts::Text&)> text;
  // "BPM_Level" as stored (empty when missing).
  std::function<std::string()> bpmLevelText;
  // "BKGSensor" as stored (empty when missing).
  std::function<std::string()> bkgSensorList;
  // The user's decimal separator.
  char decimal = '.';
};

class StudioModel {
 public:
  // Rows the record table may hold.
  static constexpr int kMaxRows = 1'000'000;

  StudioModel(StudioLink& link, StudioView& view, ChartSurface& chart, StudioSettings settings);

  // Activation before the link is asked: state reset, graph reset, time mode.
  void Reset();
  // Parses the configuration string and configures the link. Throws (a bad
  // number in a channel tag, ...) when the program must end as End does.
  void ReadFromExcel(const std::string& config);
  // "Qor3" as stored; empty gives 5000. Throws BadNumber.
  void ReadFastRecordLimit(const std::string& text);
  // The rest of the set-up of a connected link: 8-port mode, sensor
  // identification, unit labels, graph layout, capacity and table.
  void FinishSetup();

  // Start/Stop button.
  void StartStop();
  // The link's events.
  void DataLine(const std::string& record);
  void Started();
  void Stopped();
  // Capture button of a channel (0 = A), event mode.
  void Capture(int channel);
  // The mode check box: checked is time mode.
  void ModeSwitch(bool timeMode);
  // Redraw timer tick.
  void TimerTick();
  unsigned TimerInterval() const;

  // The clipboard table of the rows held (End).
  std::string HandBackText() const;

  // ---- state (read by the form and by tests) ----
  bool Running() const { return running_; }
  bool TimeMode() const { return timeMode_; }
  bool EightPortMode() const { return eightPortMode_; }
  int RecordCount() const { return recordCount_; }
  int KeptCount() const { return keptCount_; }
  int Capacity() const { return capacity_; }
  const std::vector<TDataRecord>& Records() const { return records_; }
  const std::array<double, 8>& CurrentValues() const { return current_; }
  int DigitalChannel() const { return digitalChannel_; }
  double SheetSamplingTime() const { return sheetSamplingTime_; }
  double SheetExperimentLength() const { return sheetExperimentLength_; }
  int StudioLoopCount() const { return studioLoopCount_; }
  int FastRecordLimit() const { return fastRecordLimit_; }
  bool BpmMode() const { return bpmMode_; }
  int BpmChannel() const { return bpmChannel_; }
  double BpmLevel() const { return bpmLevel_; }
  const std::vector<int>& SubsetChannels() const { return subsetChannels_; }
  // Visible capture buttons in event mode.
  std::array<bool, 8> CaptureButtonsShown() const;

 private:
  void DisplayBase();
  void ApplyCapacity();
  void EnsureRows(int rows);
  void BpmStep(int n);
  // Puts what the lines since the last tick left to show on the window.
  void ShowNewest();
  std::string Text(const texts::Text& t) const;
  std::string Number(double v) const;

  StudioLink& link_;
  StudioView& view_;
  ChartSurface& chart_;
  StudioSettings settings_;

  std::vector<TDataRecord> records_;
  int recordCount_ = 0;
  int keptCount_ = 0;
  int capacity_ = 0;
  bool eraseKept_ = true;
  std::array<double, 8> current_{};
  std::array<bool, 8> captured_{};
  double sheetSamplingTime_ = 0;
  double sheetExperimentLength_ = 0;
  int studioLoopCount_ = 0;
  int fastRecordLimit_ = 5000;
  bool eightPortMode_ = false;
  int digitalChannel_ = 0;
  bool timeMode_ = true;
  bool running_ = false;
  bool redrawRequest_ = false;
  bool timerBusy_ = false;
  int fedCount_ = 0;  // RecordCount when the graph was last fed
  // What the data lines left for the value boxes and the status bar; shown
  // once per tick, so a fast run sets each window text ten times a second.
  struct Shown {
    bool counterPending = false;
    long long counter = 0;
    bool timePending = false;
    std::string time;
    bool bpm = false;
    double bpmRate = 0;
    bool analog = false;   // every channel with a sensor
    bool digital = false;  // the digital channel
  } shown_;
  std::vector<int> subsetChannels_;
  bool bpmMode_ = false;
  int bpmChannel_ = 0;
  double bpmLevel_ = 3.5;
  double lastCrossing_ = -1;
  bool bpmArmed_ = false;
};

}  // namespace tessaly
