#include "highspeed/AcquisitionModel.h"

#include "highspeed/Dialect.h"

namespace quillon {

namespace {

bool Digit(std::uint8_t b) { return b >= '0' && b <= '9'; }
int TwoDigits(const std::uint8_t* p) { return (p[0] - '0') * 10 + (p[1] - '0'); }

Effect Fx(Effect::Kind k, std::string text = {}, int a = 0, int b = 0) {
  Effect e{k, std::move(text)};
  e.a = a;
  e.b = b;
  return e;
}

bool InRange(int v, int lo, int hi) { return v >= lo && v <= hi; }

const char kRowsLeftOut[] = "Not every sample fitted the table: the samples past row 50010 were left out.";
const char kDownloadFailed[] = "The interface did not send the data again: the download was stopped.";
const char kIntervalRefused[] = "The interval is not a valid number of seconds.";

}  // namespace

// ---- byte handling (parse thread) -------------------------------------------

Effects AcquisitionModel::OnByte(std::uint8_t b, long long nowMs) {
  Effects fx;
  std::lock_guard<std::mutex> lock(mutex_);
  lastByteMs_ = nowMs;
  HandleByte(b, nowMs, fx);
  return fx;
}

bool AcquisitionModel::EndsWith(char close) const {
  const int n = line_.length;
  return n >= 3 && line_.bytes[n - 3] == static_cast<std::uint8_t>(close) && line_.bytes[n - 2] == '\r' &&
         line_.bytes[n - 1] == '\n';
}

void AcquisitionModel::HandleByte(std::uint8_t b, long long nowMs, Effects& fx) {
  if (line_.length >= kLineMax) ClearLine();  // nothing took a full line: resynchronise
  if (line_.length == 0) {
    if (b == '{' || b == '[') line_.bytes[line_.length++] = b;
    return;
  }
  line_.bytes[line_.length++] = b;
  const int n = line_.length;
  if (s_->m_downloadActive) {
    // A frame in assembly: its announced length decides, its bytes are data.
    if (frameLength_ > 0) {
      FrameByte(nowMs, fx);
      return;
    }
    const std::uint8_t* p = line_.bytes;
    if (n == 4 && p[0] == '{' && p[3] == ',' && Digit(p[1]) && Digit(p[2])) {
      const int count = TwoDigits(p + 1);
      if (InRange(count, 1, 30)) {
        frameCount_ = count;
        frameLength_ = 4 * count + 8;
      } else {
        ClearLine();
        resyncPending_ = true;
      }
      return;
    }
    if (n == 7 && p[0] == '[' && p[1] == '0' && p[2] == '5' && p[3] == ',' && Digit(p[4]) && Digit(p[5]) &&
        p[6] == ',') {
      const int count = TwoDigits(p + 4);
      if (InRange(count, 1, 30)) {
        frameCount_ = count;
        frameLength_ = 4 * count + 11;
      } else {
        ClearLine();
        resyncPending_ = true;
      }
      return;
    }
  }
  if (n < 3 || b != '\n') return;
  if (!TryTextLine(fx)) ClearLine();  // a line no handler takes is dropped
}

bool AcquisitionModel::TryTextLine(Effects& fx) {
  const int n = line_.length;
  const bool curly = EndsWith('}');
  const bool square = EndsWith(']');
  if (s_->m_identifyPending && curly && (n == 20 || n == 21 || n == 31)) return Identification(fx);
  if (n == 5 && curly) return Status(fx);
  if (n == 6 && square) return StatusCode(fx);
  if (s_->m_listExpected && curly && BufferList(fx)) return true;
  if (n == 30 && curly) return BufferInfoLine(fx);
  if (n == 32 && square) return ExperimentInfo(fx);
  return false;
}

bool AcquisitionModel::Identification(Effects& fx) {
  AcquisitionState& s = *s_;
  s.m_identifyPending = 0;
  if (line_.length == 20) {
    s.m_sornModel = 0;
    s.m_modelName = "PelmoraAster";
    fx.push_back(Fx(Effect::Title, " - Aster"));
    s.m_listExpected = 1;
    fx.push_back(Fx(Effect::Send, CmdList()));
  } else {
    s.m_sornModel = 1;
    s.m_modelName = "PelmoraSorn";
    fx.push_back(Fx(Effect::Title, " - Sorn / Sorn II"));
  }
  ClearLine();
  fx.push_back(Fx(Effect::Controls));
  return true;
}

void AcquisitionModel::ListRefresh(Effects& fx) {
  s_->m_listExpected = 1;
  fx.push_back(Fx(Effect::Send, CmdList()));
  fx.push_back(Fx(Effect::Sleep, {}, 5));
}

void AcquisitionModel::EndMeasurement(Effects& fx) {
  s_->m_running = 0;
  s_->m_startPending = 0;
  fx.push_back(Fx(Effect::Controls));
}

bool AcquisitionModel::Status(Effects& fx) {
  AcquisitionState& s = *s_;
  const std::uint8_t c = line_.bytes[1];
  ClearLine();
  if (c == '0') {
    s.m_startPending = 0;  // a refused or ended start acknowledges nothing later
    if (s.m_running) {
      EndMeasurement(fx);
      fx.push_back(Fx(Effect::Message, "QuillonDlg1"));
    } else if (!s.m_sornModel) {
      if (s.m_downloadActive) fx.push_back(Fx(Effect::ProgressShow, {}, 0));
      s.m_infoQueryActive = 0;
      s.m_downloadActive = 0;
      s.m_deletePending = 0;
      resyncPending_ = false;
      fx.push_back(Fx(Effect::Controls));
      fx.push_back(Fx(Effect::Message, "QuillonDlg2"));
      ListRefresh(fx);
    }
  } else if (s.m_startPending) {
    s.m_startPending = 0;
    fx.push_back(Fx(Effect::Send, CmdStart()));
  } else if (s.m_deletePending) {
    s.m_deletePending = 0;
    s.m_selRow = s.m_selBuffer = s.m_selStart = s.m_selEnd = 0;
    fx.push_back(Fx(Effect::ResetSelection));
    fx.push_back(Fx(Effect::ClearList));
    ListRefresh(fx);
  }
  return true;
}

bool AcquisitionModel::StatusCode(Effects& fx) {
  AcquisitionState& s = *s_;
  const std::uint8_t* p = line_.bytes;
  if (Digit(p[1]) && Digit(p[2])) {
    const int code = TwoDigits(p + 1);
    if (code == 0 || code == 2 || code == 8 || code == 10) {
      EndMeasurement(fx);
      fx.push_back(Fx(Effect::Message, "QuillonDlg2"));
    } else if (code == 9 && s.m_startPending) {
      s.m_startPending = 0;
      fx.push_back(Fx(Effect::Send, CmdStart()));
    }
    fx.push_back(Fx(Effect::Sleep, {}, 5));
  }
  ClearLine();
  return true;
}

bool AcquisitionModel::BufferList(Effects& fx) {
  AcquisitionState& s = *s_;
  int v[16];
  if (ReadValues(line_.bytes, line_.length, '}', 16, v) != 16) return false;
  s.m_bufferCount = 0;
  for (int i = 0; i < 16; ++i) {
    if (v[i] == 1) {
      s.m_bufferTable[s.m_bufferCount] = BufferInfo{};
      s.m_bufferTable[s.m_bufferCount++].number = i + 1;
    }
  }
  ClearLine();
  s.m_listExpected = 0;
  if (s.m_bufferCount > 0) {
    s.m_infoQueryActive = 1;
    s.m_infoIndex = 0;
    fx.push_back(Fx(Effect::Send, CmdInfo(s.m_bufferTable[0].number)));
    fx.push_back(Fx(Effect::Sleep, {}, 5));
  } else {
    fx.push_back(Fx(Effect::ClearList));
    fx.push_back(Fx(Effect::Message, "QuillonDlg3"));
  }
  return true;
}

bool AcquisitionModel::BufferInfoLine(Effects& fx) {
  AcquisitionState& s = *s_;
  int v[6];
  if (ReadValues(line_.bytes, line_.length, '}', 6, v) != 6) return false;
  ClearLine();
  if (!InRange(v[0], 0, 60000) || !InRange(v[1], 0, 49) || !InRange(v[2], 0, 128) || !InRange(v[3], 0, 128) ||
      !InRange(v[4], 0, 128) || !InRange(v[5], 1, 50100)) {
    fx.push_back(Fx(Effect::Sleep, {}, 1));
    return true;
  }
  if (s.m_running) {
    EndMeasurement(fx);
    ListRefresh(fx);
  } else if (s.m_infoQueryActive && s.m_infoIndex < s.m_bufferCount) {
    BufferInfo& e = s.m_bufferTable[s.m_infoIndex];
    e.msInterval = v[0];
    e.fastInterval = v[1];
    e.sensor[0] = v[2];
    e.sensor[1] = v[3];
    e.sensor[2] = v[4];
    e.count = v[5];
    if (s.m_infoIndex < s.m_bufferCount - 1) {
      ++s.m_infoIndex;
      fx.push_back(Fx(Effect::Send, CmdInfo(s.m_bufferTable[s.m_infoIndex].number)));
      fx.push_back(Fx(Effect::Sleep, {}, 5));
    } else {
      s.m_infoQueryActive = 0;
      fx.push_back(Fx(Effect::FillBufferList));
    }
  } else {
    ListRefresh(fx);
  }
  return true;
}

bool AcquisitionModel::ExperimentInfo(Effects& fx) {
  AcquisitionState& s = *s_;
  int v[7];
  if (ReadValues(line_.bytes, line_.length, ']', 7, v) != 7) return false;
  ClearLine();
  if (!InRange(v[1], 0, 60000) || !InRange(v[2], 0, 49) || !InRange(v[3], 0, 128) || !InRange(v[4], 0, 128) ||
      !InRange(v[5], 0, 128) || !InRange(v[6], 1, 1667)) {
    fx.push_back(Fx(Effect::Sleep, {}, 1));
    return true;
  }
  s.m_slowInterval = static_cast<float>(v[1]) / 1000.0f;
  s.m_fastInterval = static_cast<float>(v[2]) / 10000.0f;
  s.m_sensorId[0] = v[3];
  s.m_sensorId[1] = v[4];
  s.m_sensorId[2] = v[5];
  s.m_sensorId[3] = 0;
  Effect units = Fx(Effect::LoadUnits, {}, v[3], v[4]);
  units.c = v[5];
  fx.push_back(units);
  s.m_blockCount = v[6];
  fx.push_back(Fx(Effect::FillExperimentRow));
  if (s.m_running) EndMeasurement(fx);
  return true;
}

// ---- sample frames ----------------------------------------------------------

void AcquisitionModel::FrameByte(long long nowMs, Effects& fx) {
  if (line_.length < frameLength_) return;
  const bool sorn = line_.bytes[0] == '[';
  const int dataStart = sorn ? 7 : 4;
  const int dataBytes = 4 * frameCount_;
  const int n = line_.length;
  const bool ends = EndsWith(sorn ? ']' : '}');
  if (ends && XorBytes(line_.bytes + dataStart, dataBytes) == line_.bytes[n - 4]) {
    DecodeFrame(sorn, frameCount_, nowMs, fx);
  } else {
    ClearLine();
    resyncPending_ = true;  // asked for again once the line is quiet
  }
}

float AcquisitionModel::StepInterval() const {
  const auto fast = IntervalCount(static_cast<double>(s_->m_fastInterval));
  return fast && *fast != 0 ? s_->m_fastInterval : s_->m_slowInterval;
}

void AcquisitionModel::StoreSamples(const float* v, int n) {
  AcquisitionState& s = *s_;
  int active[3];
  int g = 0;
  for (int ch = 0; ch < 3; ++ch)
    if (s.m_sensorId[ch] != 0) active[g++] = ch;
  if (g == 0) {
    g = 3;
    active[0] = 0, active[1] = 1, active[2] = 2;
  }
  for (int i = 0; i < n; i += g) {
    float row[4] = {0, 0, 0, 0};
    for (int j = 0; j < g && i + j < n; ++j) row[active[j]] = v[i + j];
    if (!s.table.PushSample(row[0], row[1], row[2], row[3])) rowsLeftOut_ = true;
    if (!s.m_sornModel) ++s.m_groupCount;
  }
}

void AcquisitionModel::StoreLevelCrossings(const float* v, int n) {
  AcquisitionState& s = *s_;
  int active[3];
  int g = 0;
  for (int ch = 0; ch < 3; ++ch)
    if (s.m_sensorId[ch] != 0) active[g++] = ch;
  if (g == 0) {
    g = 3;
    active[0] = 0, active[1] = 1, active[2] = 2;
  }
  const float step = StepInterval();
  for (int i = 0; i < n; ++i) {
    const int ch = active[i % g];
    const float x = v[i];
    const int k = ++levelCounter_[ch];
    if (above_[ch] && x < s.m_level) {
      above_[ch] = false;
      below_[ch] = true;
    } else if (below_[ch] && x > s.m_level) {
      above_[ch] = below_[ch] = false;
      float row[4] = {0, 0, 0, 0};
      row[ch] = static_cast<float>(k) * step;
      if (!s.table.PushSample(row[0], row[1], row[2], row[3])) rowsLeftOut_ = true;
    } else if (!above_[ch] && !below_[ch] && x > s.m_level) {
      above_[ch] = true;
    }
  }
}

void AcquisitionModel::DecodeFrame(bool sorn, int n, long long nowMs, Effects& fx) {
  AcquisitionState& s = *s_;
  float v[30];
  const std::uint8_t* data = line_.bytes + (sorn ? 7 : 4);
  for (int i = 0; i < n; ++i) v[i] = DecodeSample(data + 4 * i);
  retries_ = 0;
  resyncPending_ = false;
  if (s.table.m_rowCount >= kStoreLimit) {
    rowsLeftOut_ = true;  // keep downloading to the end; what fits is kept
  } else if (!sorn && s.m_levelRows) {
    StoreLevelCrossings(v, n);
  } else {
    StoreSamples(v, n);
  }
  ClearLine();
  if (sorn) {
    ++s.m_nextBlock;
    if (s.m_nextBlock < s.m_blockCount) {
      lastRequest_ = CmdBlock(s.m_nextBlock);
      lastRequestMs_ = nowMs;
      fx.push_back(Fx(Effect::Send, lastRequest_));
      fx.push_back(Fx(Effect::ProgressPos, {}, s.m_nextBlock));
    } else {
      FinishDownload(true, fx);
    }
  } else {
    RequestNext(nowMs, fx);
  }
}

void AcquisitionModel::RequestNext(long long nowMs, Effects& fx) {
  AcquisitionState& s = *s_;
  if (s.m_selEnd > s.m_nextSample) {
    const int first = s.m_nextSample;
    const int count = s.m_selEnd - first < 30 ? s.m_selEnd - first : 30;
    s.m_nextSample = first + count;
    lastRequest_ = CmdDownload(first, count);
    lastRequestMs_ = nowMs;
    fx.push_back(Fx(Effect::Send, lastRequest_));
    fx.push_back(Fx(Effect::ProgressPos, {}, s.m_nextSample));
  } else {
    FinishDownload(false, fx);
  }
}

void AcquisitionModel::FinishDownload(bool sorn, Effects& fx) {
  AcquisitionState& s = *s_;
  ClearLine();
  s.m_downloadActive = 0;
  resyncPending_ = false;
  fx.push_back(Fx(Effect::ProgressShow, {}, 0));
  if (!sorn) ResetLevel();
  fx.push_back(Fx(Effect::Message, "QuillonDlg4"));
  if (rowsLeftOut_) fx.push_back(Fx(Effect::FixedMessage, kRowsLeftOut));
  // Level mode counts no groups: its rows are the crossings.
  const int rows = sorn || s.m_levelRows ? s.table.m_rowCount : s.m_groupCount;
  fx.push_back(Fx(Effect::Export, {}, s.m_exportToExcel ? 1 : 0, rows));
  fx.push_back(Fx(Effect::Controls));
}

void AcquisitionModel::AbortDownload(Effects& fx) {
  s_->m_downloadActive = 0;
  ClearLine();
  resyncPending_ = false;
  ResetLevel();
  fx.push_back(Fx(Effect::ProgressShow, {}, 0));
  fx.push_back(Fx(Effect::FixedMessage, kDownloadFailed));
  fx.push_back(Fx(Effect::Controls));
}

void AcquisitionModel::RequestAgain(long long nowMs, Effects& fx) {
  if (retries_ >= kMaxRetries || lastRequest_.empty()) {
    AbortDownload(fx);
    return;
  }
  ++retries_;
  ClearLine();
  resyncPending_ = false;
  lastRequestMs_ = nowMs;
  fx.push_back(Fx(Effect::Send, lastRequest_));
}

Effects AcquisitionModel::OnIdle(long long nowMs) {
  Effects fx;
  std::lock_guard<std::mutex> lock(mutex_);
  if (!s_->m_downloadActive) return fx;
  if (resyncPending_) {
    if (nowMs - lastByteMs_ >= kResyncQuietMs) RequestAgain(nowMs, fx);
  } else if (nowMs - lastRequestMs_ >= kFrameTimeoutMs && nowMs - lastByteMs_ >= kFrameTimeoutMs) {
    RequestAgain(nowMs, fx);
  }
  return fx;
}

void AcquisitionModel::ResetLevel() {
  for (int ch = 0; ch < 3; ++ch) {
    levelCounter_[ch] = 0;
    above_[ch] = below_[ch] = false;
  }
}

// ---- the user's operations (dialog thread) ----------------------------------

ControlState AcquisitionModel::ControlsLocked() const {
  const AcquisitionState& s = *s_;
  ControlState c;
  const bool identified = !s.m_modelName.empty();
  c.running = s.m_running != 0;
  c.experimentEnabled = identified && !s.m_downloadActive;
  c.othersEnabled = identified && !s.m_running && !s.m_downloadActive;
  return c;
}

ControlState AcquisitionModel::Controls() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return ControlsLocked();
}

Effects AcquisitionModel::BeginIdentify() {
  std::lock_guard<std::mutex> lock(mutex_);
  s_->m_identifyPending = 1;
  return {Fx(Effect::Send, CmdIdentify())};
}

Effects AcquisitionModel::Experiment(int channel, float interval, bool levelMode, float level) {
  Effects fx;
  std::lock_guard<std::mutex> lock(mutex_);
  AcquisitionState& s = *s_;
  if (s.m_downloadActive) {
    fx.push_back(Fx(Effect::Message, "QuillonDlg7"));
    return fx;
  }
  if (s.m_running) {
    s.m_running = 0;
    s.m_startPending = 0;
    fx.push_back(Fx(Effect::Controls));
    fx.push_back(Fx(Effect::Send, CmdStop()));
    return fx;
  }
  const auto count = IntervalCount(static_cast<double>(interval));
  if (!count) {
    fx.push_back(Fx(Effect::FixedMessage, kIntervalRefused));
    return fx;
  }
  s.m_interval = interval;
  s.m_channel = channel;
  s.m_intervalCount = *count;
  if (levelMode) s.m_level = level;
  // Running from before the set-up goes out, so a quick end is seen as an end.
  s.m_startPending = 1;
  s.m_running = 1;
  fx.push_back(Fx(Effect::Controls));
  fx.push_back(Fx(Effect::Send, CmdSetup(channel, *count)));
  return fx;
}

Effects AcquisitionModel::Loading(long long nowMs) {
  Effects fx;
  std::lock_guard<std::mutex> lock(mutex_);
  AcquisitionState& s = *s_;
  if (s.m_running) {
    fx.push_back(Fx(Effect::Message, "QuillonDlg8"));
    return fx;
  }
  if (s.m_downloadActive) return fx;
  rowsLeftOut_ = false;
  retries_ = 0;
  resyncPending_ = false;
  lastByteMs_ = nowMs;
  if (s.m_sornModel) {
    if (s.m_blockCount < 1) {
      fx.push_back(Fx(Effect::Message, "QuillonDlg9"));
      return fx;
    }
    s.table.ClearSamples();
    s.m_levelRows = 0;  // block downloads have no level form
    fx.push_back(Fx(Effect::ProgressRange, {}, 0, s.m_blockCount));
    fx.push_back(Fx(Effect::ProgressPos, {}, 0));
    fx.push_back(Fx(Effect::ProgressShow, {}, 1));
    s.m_nextBlock = 0;
    s.m_downloadActive = 1;
    ClearLine();
    lastRequest_ = CmdBlock(0);
    lastRequestMs_ = nowMs;
    fx.push_back(Fx(Effect::Send, lastRequest_));
    fx.push_back(Fx(Effect::Controls));
    return fx;
  }
  if (s.m_selStart < s.m_selEnd) {
    s.table.ClearSamples();
    s.m_levelRows = s.m_levelMode;
    fx.push_back(Fx(Effect::ProgressRange, {}, s.m_selStart, s.m_selEnd));
    fx.push_back(Fx(Effect::ProgressPos, {}, s.m_selStart));
    fx.push_back(Fx(Effect::ProgressShow, {}, 1));
    s.m_downloadActive = 1;
    s.m_groupCount = 0;
    s.m_nextSample = s.m_selStart;
    ResetLevel();
    ClearLine();
    RequestNext(nowMs, fx);
    fx.push_back(Fx(Effect::Controls));
    return fx;
  }
  fx.push_back(Fx(Effect::Message, "QuillonDlg10"));
  return fx;
}

Effects AcquisitionModel::Delete() {
  Effects fx;
  std::lock_guard<std::mutex> lock(mutex_);
  AcquisitionState& s = *s_;
  if (s.m_running) {
    fx.push_back(Fx(Effect::Message, "QuillonDlg5"));
  } else if (s.m_sornModel) {
    fx.push_back(Fx(Effect::Message, "QuillonDlg6"));
  } else if (s.m_selStart < s.m_selEnd && s.m_selBuffer > 0) {
    s.m_deletePending = 1;
    fx.push_back(Fx(Effect::Send, CmdDelete(s.m_selBuffer)));
  }
  return fx;
}

Effects AcquisitionModel::Clear() {
  Effects fx;
  std::lock_guard<std::mutex> lock(mutex_);
  AcquisitionState& s = *s_;
  if (s.m_running) {
    fx.push_back(Fx(Effect::Message, "QuillonDlg5"));
  } else if (s.m_sornModel) {
    fx.push_back(Fx(Effect::Message, "QuillonDlg6"));
  } else {
    fx.push_back(Fx(Effect::Send, CmdClear()));
    fx.push_back(Fx(Effect::ClearList));
    s.m_selRow = s.m_selBuffer = s.m_selStart = s.m_selEnd = 0;
    fx.push_back(Fx(Effect::ResetSelection));
  }
  return fx;
}

bool AcquisitionModel::SelectRow(int row) {
  std::lock_guard<std::mutex> lock(mutex_);
  AcquisitionState& s = *s_;
  // A download in progress reads the selection, sensor ids and intervals.
  if (s.m_sornModel || s.m_downloadActive || row < 0 || row >= s.m_bufferCount) return false;
  const BufferInfo& e = s.m_bufferTable[row];
  s.m_selRow = row;
  s.m_selBuffer = e.number;
  s.m_selStart = (e.number - 1) * 3126;
  s.m_selEnd = s.m_selStart + e.count;
  s.m_slowInterval = static_cast<float>(e.msInterval) / 1000.0f;
  s.m_fastInterval = static_cast<float>(e.fastInterval) / 10000.0f;
  s.m_sensorId[0] = e.sensor[0];
  s.m_sensorId[1] = e.sensor[1];
  s.m_sensorId[2] = e.sensor[2];
  s.m_sensorId[3] = 0;
  return true;
}

void AcquisitionModel::SetLevelMode(bool on) {
  std::lock_guard<std::mutex> lock(mutex_);
  s_->m_levelMode = on ? 1 : 0;
}

void AcquisitionModel::SetExportToExcel(bool on) {
  std::lock_guard<std::mutex> lock(mutex_);
  s_->m_exportToExcel = on ? 1 : 0;
}

}  // namespace quillon
