// The high-speed program's dialect: every byte the interface sends, in any
// order with the user's operations, through the parse logic of the dialog's
// model (identification, buffer list and infos, status codes, XOR-checked
// sample frames, level mode), and each finished download through the
// semicolon-separated export text.
//
// Input: operations, each a byte and its arguments (see Step); 9 to 11 hand
// a piece of received bytes to the parse logic.
//
// Checks: commands sent are of the dialect ("S{...}", nothing after it); the
// capture table and the buffer list stay within their sizes; an export's
// text is CR LF lines whose fields are numbers (or empty) after its three
// header lines.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string>

#include "highspeed/AcquisitionModel.h"
#include "highspeed/ExportSnapshot.h"
#include "highspeed/export/ExportCsv.h"
#include "highspeed/export/ExportSource.h"
#include "tests/fuzz/FuzzInput.h"

namespace {

using namespace quillon;

class Texts final : public ExportTexts {
 public:
  std::string RunExperimentText(const std::string& name) const override { return name; }
  std::string UnitText(std::int32_t id) const override { return "U" + std::to_string(id); }
  std::string MessageText(const std::string& key) const override { return key; }
  std::string MainProcessText(const std::string& key) const override { return key; }
};

void CheckCsv(const std::string& text) {
  std::size_t from = 0;
  int line = 0;
  while (from < text.size()) {
    const std::size_t end = text.find("\r\n", from);
    PEL_FUZZ_CHECK(end != std::string::npos, "a line without CR LF");
    const std::string l = text.substr(from, end - from);
    PEL_FUZZ_CHECK(l.find('\r') == std::string::npos && l.find('\n') == std::string::npos, l);
    if (++line > 3) {
      std::size_t at = 0;
      for (;;) {
        const std::size_t semi = l.find(';', at);
        std::string f = l.substr(at, semi == std::string::npos ? std::string::npos : semi - at);
        f.erase(0, f.find_first_not_of(' '));
        f.erase(f.find_last_not_of(' ') + 1);
        if (!f.empty()) {
          double v = 0;
          PEL_FUZZ_CHECK(pel::fuzz::ParseFieldNumber(f, v), "'" + f + "' in '" + l + "'");
        }
        if (semi == std::string::npos) break;
        at = semi + 1;
      }
    }
    from = end + 2;
  }
  PEL_FUZZ_CHECK(line >= 3, "header lines");
}

struct Rig {
  AcquisitionModel model;
  long long now = 0;

  void Apply(const Effects& fx) {
    for (const Effect& e : fx) {
      if (e.kind == Effect::Send)
        PEL_FUZZ_CHECK(e.text.rfind("S{", 0) == 0 && e.text.back() == '}' && e.text.find('}') == e.text.size() - 1,
                       e.text);
      if (e.kind == Effect::Export) Export(e.b);
    }
    model.With([](AcquisitionState& s) {
      PEL_FUZZ_CHECK(s.table.m_rowCount >= 0 && s.table.m_rowCount <= kCaptureRows, std::to_string(s.table.m_rowCount));
      PEL_FUZZ_CHECK(s.m_bufferCount >= 0 && s.m_bufferCount <= 16, std::to_string(s.m_bufferCount));
      return 0;
    });
  }

  void Export(int rows) { CheckCsv(BuildCsvText(ExportSnapshot(model, rows), Texts{})); }

  bool Step(pel::fuzz::FuzzInput& in) {
    static const float kIntervals[] = {0.0001f, 0.0002f, 0.0049f, 0.001f, 0.0f, -1.0f, 1e30f};
    static const float kLevels[] = {2.5f, 0.0f, -1.0f, 1e30f};
    if (in.Empty()) return false;
    switch (in.Byte() % 12) {
      case 0: Apply(model.BeginIdentify()); break;
      case 1: {
        const int channel = 1 + in.Byte() % 3;
        const float interval = in.Pick(kIntervals);
        const bool level = in.Bool();
        Apply(model.Experiment(channel, interval, level, in.Pick(kLevels)));
        break;
      }
      case 2: Apply(model.Loading(now)); break;
      case 3: Apply(model.Delete()); break;
      case 4: Apply(model.Clear()); break;
      case 5: (void)model.SelectRow(in.Byte() % 20 - 2); break;
      case 6: model.SetLevelMode(in.Bool()); break;
      case 7: model.SetExportToExcel(in.Bool()); break;
      case 8:
        now += in.Byte() * 20;
        Apply(model.OnIdle(now));
        break;
      default: {
        const std::string piece = in.Piece();
        for (char c : piece) Apply(model.OnByte(static_cast<std::uint8_t>(c), now));
        ++now;
        break;
      }
    }
    return true;
  }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  pel::fuzz::FuzzInput in(data, size);
  auto rig = std::make_unique<Rig>();
  while (rig->Step(in)) {
  }
  return 0;
}
