#include "highspeed/ExportCsv.h"

#include <algorithm>

#include "highspeed/ExportNumber.h"

namespace pel::quillon {
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

// Level rows hold, per crossing, one row for each active channel in the
// order A, B, C with the time in that channel's column; so channel q's
// crossings are the rows q, q+g, q+2g... among g active channels.
void AppendLevelLines(std::string& out, const ExportSource& source) {
  int rank[3] = {-1, -1, -1};
  int active = 0;
  for (int ch = 0; ch < 3; ++ch)
    if (source.ChannelActive(ch)) rank[ch] = active++;
  if (active == 0) return;
  const int crossings = source.RowCount() / active;
  for (int i = 0; i + 1 < crossings; ++i) {
    bool has[3] = {false, false, false};
    double value[3] = {0, 0, 0};
    for (int ch = 0; ch < 3; ++ch) {
      if (rank[ch] < 0) continue;
      const std::vector<float>& col = source.Column(ch);
      const float earlier = col[static_cast<std::size_t>(i * active + rank[ch])];
      const float later = col[static_cast<std::size_t>((i + 1) * active + rank[ch])];
      has[ch] = true;
      value[ch] = ToSingle(static_cast<double>(later) - static_cast<double>(earlier));
    }
    AppendInt(out, i);
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

}  // namespace pel::quillon
