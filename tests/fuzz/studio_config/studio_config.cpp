// The studio's configuration string from the workbook side, its registry
// texts ("Qor3", "BPM_Level", "BKGSensor") and the link's data lines, through
// set-up, runs, captures and the hand-back table.
//
// Input: byte 0 flags (1 decimal comma, 2 event mode, 4 erase kept rows),
// byte 1 the model, bytes 2-9 the sensor IDs of A to H (200 and up: none),
// then lines: the configuration string, "Qor3", "BPM_Level", "BKGSensor",
// then data lines; a line "#S" presses Start/Stop, "#T" ticks the timer,
// "#C<k>" captures channel k, "#M" switches the mode, "#B"/"#E" are the
// link's start and stop events.
//
// Checks: the table never counts more rows than it holds; the hand-back text
// is lines ended by CR whose fields are numbers that read back (or empty).
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "studio/core/StudioModel.h"
#include "studio/core/StudioText.h"
#include "tests/fuzz/FuzzInput.h"
#include "tests/studio/StudioFakes.h"

namespace {

using namespace tessaly;

// The link's setters refuse what the device link refuses.
struct Link final : test::FakeLink {
  void SamplingTime(double s) override {
    if (s > 0 && s <= 60) test::FakeLink::SamplingTime(s);
  }
  using test::FakeLink::SamplingTime;
  void ExperimentLength(double s) override {
    if (s > 0 && std::isfinite(s)) test::FakeLink::ExperimentLength(s < 1 ? 1 : s);
  }
  using test::FakeLink::ExperimentLength;
  void MaxRecordCount(int n) override {
    if (n > 0) test::FakeLink::MaxRecordCount(n);
  }
  using test::FakeLink::MaxRecordCount;
};

void CheckHandBack(const std::string& text) {
  std::size_t from = 0;
  while (from < text.size()) {
    const std::size_t end = text.find('\r', from);
    PEL_FUZZ_CHECK(end != std::string::npos, "a line without its CR");
    const std::string line = text.substr(from, end - from);
    std::size_t at = 0;
    for (int field = 0;; ++field) {
      const std::size_t tab = line.find('\t', at);
      const std::string f = line.substr(at, tab == std::string::npos ? std::string::npos : tab - at);
      if (!f.empty()) {
        try {
          (void)ParseNumber(f, '.');
        } catch (const BadNumber&) {
          PEL_FUZZ_CHECK(false, "'" + f + "' in line '" + line + "'");
        }
      }
      if (tab == std::string::npos) break;
      at = tab + 1;
    }
    from = end + 1;
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  pel::fuzz::FuzzInput in(data, size);
  const std::uint8_t flags = in.Byte();
  static const char* const kModels[] = {"Tolemic", "Qor-3", "Qor", "Sorn II"};
  Link link;
  link.model = in.Pick(kModels);
  for (auto& id : link.ids) {
    const int b = in.Byte();
    id = b >= 200 ? -1 : b;
  }
  for (int k = 0; k < 8; ++k) link.units[static_cast<std::size_t>(k)] = k % 2 ? "Force(N)" : "V";
  test::FakeView view;
  view.eraseAnswer = flags & 4;
  test::FakeChart chart;
  const std::string config = in.Line(), limit = in.Line(), level = in.Line(), bkg = in.Line();
  StudioSettings settings;
  settings.decimal = (flags & 1) ? ',' : '.';
  settings.bpmLevelText = [level] { return level; };
  settings.bkgSensorList = [bkg] { return bkg; };
  StudioModel model(link, view, chart, settings);

  model.Reset();
  try {
    model.ReadFromExcel(config);
    model.ReadFastRecordLimit(limit);
  } catch (const BadNumber&) {
    return 0;  // the program ends, as End does
  }
  model.FinishSetup();
  if (flags & 2) model.ModeSwitch(false);

  while (!in.Empty()) {
    const std::string line = in.Line();
    if (line.size() >= 2 && line[0] == '#') {
      switch (line[1]) {
        case 'S': model.StartStop(); break;
        case 'T': model.TimerTick(); break;
        case 'C': model.Capture(line.size() > 2 ? line[2] - '0' : 0); break;
        case 'M': model.ModeSwitch(!model.TimeMode()); break;
        case 'B': model.Started(); break;
        case 'E': model.Stopped(); break;
        default: break;
      }
    } else {
      model.DataLine(line);
    }
    PEL_FUZZ_CHECK(model.RecordCount() >= 0 &&
                       model.RecordCount() <= static_cast<int>(model.Records().size()),
                   std::to_string(model.RecordCount()) + " of " + std::to_string(model.Records().size()));
    PEL_FUZZ_CHECK(model.Records().size() <= static_cast<std::size_t>(StudioModel::kMaxRows), "table size");
  }
  model.TimerTick();
  (void)model.TimerInterval();
  CheckHandBack(model.HandBackText());
  return 0;
}
