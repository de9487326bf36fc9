#pragma once
// The dialog's model and the parse thread's logic: every flag the dialog's
// thread and the parse thread share, the buffer table, the capture table, and
// the handling of each received byte. Free of any window or port: each
// operation returns the effects (commands to send, messages, control updates)
// for the caller to carry out after the model's lock is released, so the parse
// thread never holds the lock while it waits for the dialog's thread.
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "highspeed/CaptureTable.h"

namespace quillon {

struct Effect {
  enum Kind {
    Send,            // text: a command
    Message,         // text: registry message key
    FixedMessage,    // text: a fixed message text
    Title,           // text: suffix after the DialogTitle caption
    Controls,        // buttons and captions from ControlState()
    FillBufferList,  // the list view from the buffer table
    ClearList,
    ResetSelection,
    FillExperimentRow,
    LoadUnits,       // a..d: sensor ids A, B, C, fourth
    ProgressRange,   // a, b
    ProgressPos,     // a
    ProgressShow,    // a: 0 or 1
    Export,          // a: 1 to Excel, 0 to the text file; b: rows
    Sleep,           // a: ms
  };
  Kind kind;
  std::string text;
  int a = 0, b = 0, c = 0, d = 0;
};
using Effects = std::vector<Effect>;

struct ControlState {
  bool experimentEnabled = false;
  bool running = false;  // the Experiment caption: running or idle
  bool othersEnabled = false;  // Loading, Delete, Clear
};

// Fields shared by the dialog, the parse thread and the export; all under the
// model's lock.
struct AcquisitionState {
  int m_identifyPending = 0, m_sornModel = 0, m_listExpected = 0, m_infoQueryActive = 0;
  int m_running = 0, m_startPending = 0, m_deletePending = 0, m_downloadActive = 0, m_levelMode = 0;
  // How the rows of the table were captured, latched when a download starts:
  // 1 for level-mode crossing times. The Level box may change meanwhile.
  int m_levelRows = 0;
  std::string m_modelName;
  BufferInfo m_bufferTable[16];
  int m_bufferCount = 0, m_infoIndex = 0;
  int m_sensorId[4] = {0, 0, 0, 0};
  float m_slowInterval = 0, m_fastInterval = 0;
  float m_interval = 0.0001f;
  float m_level = 2.5f;
  int m_channel = 1, m_intervalCount = 1;
  int m_selStart = 0, m_selEnd = 0, m_selRow = 0, m_selBuffer = 0;
  int m_nextSample = 0, m_groupCount = 0;
  int m_blockCount = 0, m_nextBlock = 0;
  int m_exportToExcel = 0;
  CaptureTable table;
};

class AcquisitionModel {
 public:
  static constexpr int kLineMax = 250;
  static constexpr int kMaxRetries = 3;
  // Quiet time after a damaged frame before it is asked for again, and the
  // longest wait for a frame before it is asked for again.
  static constexpr long long kResyncQuietMs = 50;
  static constexpr long long kFrameTimeoutMs = 2000;

  AcquisitionModel() : s_(std::make_unique<AcquisitionState>()) {}

  // Parse thread: one received byte at time nowMs (a steady clock in ms).
  Effects OnByte(std::uint8_t b, long long nowMs);
  // Parse thread, when the ring is empty: recovery of a stalled download.
  Effects OnIdle(long long nowMs);

  // Dialog thread: the user's operations.
  Effects BeginIdentify();  // the probe is about to send S{10,3}
  Effects Experiment(int channel, float interval, bool levelMode, float level);
  Effects Loading(long long nowMs);
  Effects Delete();
  Effects Clear();
  // A click on a list row; false when there is nothing to select.
  bool SelectRow(int row);
  void SetLevelMode(bool on);
  void SetExportToExcel(bool on);

  ControlState Controls() const;
  // Everything under the lock; f must not call back into the model.
  template <class F>
  auto With(F&& f) {
    std::lock_guard<std::mutex> lock(mutex_);
    return f(*s_);
  }

 private:
  struct Line {
    std::uint8_t bytes[kLineMax + 1] = {};
    int length = 0;
  };

  // All below run under mutex_.
  void HandleByte(std::uint8_t b, long long nowMs, Effects& fx);
  bool TryTextLine(Effects& fx);
  bool Identification(Effects& fx);
  bool Status(Effects& fx);
  bool StatusCode(Effects& fx);
  bool BufferList(Effects& fx);
  bool BufferInfoLine(Effects& fx);
  bool ExperimentInfo(Effects& fx);
  void FrameByte(long long nowMs, Effects& fx);
  void DecodeFrame(bool sorn, int n, long long nowMs, Effects& fx);
  void StoreSamples(const float* samples, int n);
  void StoreLevelCrossings(const float* samples, int n);
  void RequestNext(long long nowMs, Effects& fx);
  void RequestAgain(long long nowMs, Effects& fx);
  void FinishDownload(bool sorn, Effects& fx);
  void AbortDownload(Effects& fx);
  void EndMeasurement(Effects& fx);
  void ListRefresh(Effects& fx);
  void ClearLine() { line_.length = 0; frameLength_ = 0; }
  void ResetLevel();
  ControlState ControlsLocked() const;
  bool EndsWith(char close) const;
  float StepInterval() const;

  mutable std::mutex mutex_;
  std::unique_ptr<AcquisitionState> s_;
  Line line_;
  int frameLength_ = 0;   // announced length of the frame in assembly, 0 when none
  int frameCount_ = 0;    // its sample count
  // Outstanding request of a download, for asking again.
  std::string lastRequest_;
  long long lastRequestMs_ = 0;
  long long lastByteMs_ = 0;
  bool resyncPending_ = false;
  int retries_ = 0;
  bool rowsLeftOut_ = false;
  // Level mode, per channel A, B, C.
  int levelCounter_[3] = {0, 0, 0};
  bool above_[3] = {false, false, false};
  bool below_[3] = {false, false, false};
};

}  // namespace quillon
