#include "highspeed/export/ExportCsv.h"

#include <algorithm>

#include "highspeed/export/ExportNumber.h"

namespace quillon {
namespace {

constexpr const char* kEol = "\r\n";

void AppendHeader(std::string& out, const ExportSource& source, const ExportTexts& texts) {
  out += " ; ; CH [A] ; CH [B] ; CH [C]";
  out += kEol;
  out += texts.RunExperimentText("Message3");
  out += " ; ; ; ; ";
  out += kEol;
  out += texts.RunExperimentText("Message2");
  out += " ;";
  out += texts.RunExperimentText("Message1");
  out += " ;";
  for (int ch = 0; ch < 3; ++ch) {
    if (source.ChannelActive(ch)) out += texts.UnitText(source.sensorId[ch]);
    out += ch < 2 ? " ;" : kEol;
  }
}

// The three channel fields of a data line: the channel's value where given,
// else empty, separated as " ;" and ended by CR LF.
void AppendChannelFields(std::string& out, const bool has[3], const double value[3]) {
  for (int ch = 0; ch < 3; ++ch) {
    if (has[ch]) AppendFixed(out, value[ch], 6, 4);
    out += ch < 2 ? " ;" : kEol;
  }
}

// A level row holds one crossing time in the column of the channel that
// crossed, the other columns 0. Channels cross independently, so their rows
// may interleave in any order; each channel's crossings are its own rows in
// table order. Line i holds, per channel, the time between its crossings
// i and i+1, the field left empty for a channel with fewer crossings.
void AppendLevelLines(std::string& out, const ExportSource& source) {
  std::vector<float> crossings[3];
  for (int row = 0; row < source.RowCount(); ++row) {
    for (int ch = 0; ch < 3; ++ch) {
      const float t = source.Column(ch)[static_cast<std::size_t>(row)];
      if (source.ChannelActive(ch) && t != 0.0f) {
        crossings[ch].push_back(t);
        break;  // a row belongs to one channel
      }
    }
  }
  std::size_t most = 0;
  for (const auto& c : crossings) most = std::max(most, c.size());
  for (std::size_t i = 0; i + 1 < most; ++i) {
    bool has[3] = {false, false, false};
    double value[3] = {0, 0, 0};
    for (int ch = 0; ch < 3; ++ch) {
      if (i + 1 >= crossings[ch].size()) continue;
      has[ch] = true;
      value[ch] = ToSingle(static_cast<double>(crossings[ch][i + 1]) - static_cast<double>(crossings[ch][i]));
    }
    AppendInt(out, static_cast<int>(i));
    out += " ; ;";
    AppendChannelFields(out, has, value);
  }
}

void AppendTimedLines(std::string& out, const ExportSource& source, bool fast) {
  const float step = fast ? source.fastInterval : source.slowInterval;
  bool has[3];
  bool any = false;
  for (int ch = 0; ch < 3; ++ch) {
    has[ch] = !fast || source.ChannelActive(ch);
    any = any || has[ch];
  }
  // A fast capture without any active channel still stored three samples per row.
  if (!any) std::fill(has, has + 3, true);
  for (int i = 0; i < source.RowCount(); ++i) {
    const int k = i + 1;
    const std::size_t row = static_cast<std::size_t>(i);
    const double value[3] = {source.columnA[row], source.columnB[row], source.columnC[row]};
    AppendInt(out, k);
    out += " ;";
    AppendFixed(out, ToSingle(static_cast<double>(k) * static_cast<double>(step)), 3, 4);
    out += " ;";
    AppendChannelFields(out, has, value);
  }
}

}  // namespace

std::string BuildCsvText(const ExportSource& source, const ExportTexts& texts) {
  std::string out;
  out.reserve(160 + static_cast<std::size_t>(source.RowCount()) * 48);
  AppendHeader(out, source, texts);
  if (source.levelRows)
    AppendLevelLines(out, source);
  else
    AppendTimedLines(out, source, IsFastCapture(source));
  return out;
}

}  // namespace quillon
