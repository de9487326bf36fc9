// The studio's CPU, for scripts/bench.d/studio.sh. Prints benchmark rows
//   BENCH<TAB>name<TAB>measured<TAB>unit<TAB>bound<TAB>lower|higher
//
//   studio_bench process TESSALY.EXE   Tessaly against the simulated
//       interface on TCP 4000 with four channels: connected idle, a run at
//       100 records/s, idle after that 2001-row run, a run at 1000 records/s;
//       marks the stretches whose CPU the calling script measures
//   studio_bench form                  in this process, the form's logic over
//       real value boxes, status bar and graph: one record through the
//       data-line handler, one redraw and one paint of 4 x 1000 points
//
// CPU time is what counts (the machine is shared); a share of a core is the
// CPU time over the wall time of the same stretch.
#include <windows.h>

#include <commctrl.h>

#include <chrono>
#include <cstdio>
#include <functional>
#include <string>
#include <thread>

#include "platform/Registry.h"
#include "sim/interface/InterfaceSim.h"
#include "studio/FormIds.h"
#include "studio/GraphSeam.h"
#include "studio/core/StudioModel.h"
#include "tests/studio/StudioFakes.h"
#include "tests/studio/TessalyProcess.h"
#include "tests/support/WindowDriver.h"

namespace {
using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;
using windriver::WaitFor;

const std::string kInterface = "Software\\VB and VBA Program Settings\\Pelmora\\Interface";

void Row(const char* name, double measured, const char* unit, double bound, const char* direction) {
  std::printf("BENCH\t%s\t%.3f\t%s\t%.3f\t%s\n", name, measured, unit, bound, direction);
  std::fflush(stdout);
}

double Seconds(const FILETIME& f) {
  ULARGE_INTEGER u;
  u.LowPart = f.dwLowDateTime;
  u.HighPart = f.dwHighDateTime;
  return static_cast<double>(u.QuadPart) / 1e7;
}

double ThreadCpu() {
  FILETIME created, exited, kernel, user;
  if (!GetThreadTimes(GetCurrentThread(), &created, &exited, &kernel, &user)) return 0;
  return Seconds(kernel) + Seconds(user);
}

// ---- Tessaly as a process ----

int ClipboardRows() {
  int rows = 0;
  for (char c : windriver::ClipboardText()) rows += c == '\r';
  return rows;
}

bool Fail(const char* what) {
  std::fprintf(stderr, "studio_bench: %s\n", what);
  return false;
}

// A stretch whose CPU the calling script measures: Wine reports no CPU
// time of another process, so the script reads Tessaly's from the system
// when it sees the marks.
void Span(const char* name, std::chrono::milliseconds span) {
  std::printf("MARK\tbegin\t%s\n", name);
  std::fflush(stdout);
  std::this_thread::sleep_for(span);
  std::printf("MARK\tend\t%s\n", name);
  std::fflush(stdout);
}

struct RunFigures {
  const char* idle = nullptr;       // connected idle before the run
  const char* run = nullptr;        // during the run
  const char* idleAfter = nullptr;  // idle after the run
  int rows = 0;
  double recordsPerSecond = 0;
};

bool RunStudio(const std::string& exe, const std::string& config, std::chrono::milliseconds settle,
               std::chrono::milliseconds runSpan, RunFigures& out) {
  pel::reg::writeString(pel::reg::Root::CurrentUser, kInterface, "ExcelToTessaly", config);
  pel::reg::writeString(pel::reg::Root::CurrentUser, kInterface, "Qor3", "");
  tessaly::test::TessalyProcess s;
  if (!s.Start(exe)) return Fail("Tessaly does not start");
  if (!WaitFor([&] { return s.Enabled(tessaly::ids::Button4); }, 90s)) return Fail("no connected form");
  std::this_thread::sleep_for(1s);
  if (out.idle) Span(out.idle, 10s);
  s.Click(tessaly::ids::Button4);
  if (!WaitFor([&] { return s.Text(tessaly::ids::Button4) == "Stop"; }, 20s)) return Fail("the run does not start");
  const auto started = Clock::now();
  std::this_thread::sleep_for(settle);
  Span(out.run, runSpan);
  if (!WaitFor([&] { return s.Text(tessaly::ids::Button4) == "Start"; }, 120s)) return Fail("the run does not end");
  const double took = std::chrono::duration<double>(Clock::now() - started).count();
  if (out.idleAfter) {
    std::this_thread::sleep_for(1s);
    Span(out.idleAfter, 10s);
  }
  if (!WaitFor([&] { return s.Enabled(tessaly::ids::Button5); }, 10s)) return Fail("End stays disabled");
  s.Click(tessaly::ids::Button5);
  if (!s.Exited(60s)) return Fail("Tessaly does not end");
  out.rows = ClipboardRows();
  out.recordsPerSecond = out.rows / took;
  return true;
}

int ProcessBench(const std::string& exe) {
  pel::sim::InterfaceSim sim(pel::sim::Model::Qor3);
  auto settings = sim.settings();
  settings.sensorIds = {12, 5, 12, 5, 0, 0, 0, 0};
  sim.setSettings(settings);
  sim.startTcp(4000);

  RunFigures slow{"studio_cpu_connected_idle", "studio_cpu_run_100_records_per_s",
                  "studio_cpu_idle_after_2000_rows"};
  if (!RunStudio(exe, "EL[20]ST[0.01]", 2s, 12s, slow)) return 1;
  RunFigures fast{nullptr, "studio_cpu_run_1000_records_per_s", nullptr};
  if (!RunStudio(exe, "EL[5]ST[0.001]", 500ms, 3500ms, fast)) return 1;
  // Every record reached the table and the clipboard, at the rate asked.
  Row("studio_rows_handed_back_100_per_s", slow.rows, "rows", 2001, "higher");
  Row("studio_rows_handed_back_1000_per_s", fast.rows, "rows", 5001, "higher");
  Row("studio_fast_run_records_per_s", fast.recordsPerSecond, "records/s", 900, "higher");
  return 0;
}

// ---- the form's logic in this process ----

// Value boxes and the status bar as the form has them.
class BenchView : public tessaly::test::FakeView {
 public:
  explicit BenchView(HWND parent) {
    for (int k = 0; k < 8; ++k)
      edits_[static_cast<std::size_t>(k)] =
          CreateWindowExA(WS_EX_CLIENTEDGE | WS_EX_RTLREADING, "EDIT", "", WS_CHILD | WS_VISIBLE | ES_READONLY,
                          4, 10 + 40 * k, 87, 24, parent, nullptr, nullptr, nullptr);
    status_ = CreateWindowExA(0, STATUSCLASSNAMEA, "", WS_CHILD | WS_VISIBLE, 0, 434, 728, 19, parent, nullptr,
                              nullptr, nullptr);
    int edges[3] = {120, 570, 620};
    SendMessageA(status_, SB_SETPARTS, 3, reinterpret_cast<LPARAM>(edges));
  }
  void SetValueText(int k, const std::string& t) override {
    SetWindowTextA(edits_[static_cast<std::size_t>(k)], t.c_str());
  }
  void SetStatus(int panel, const std::string& t) override {
    SendMessageA(status_, SB_SETTEXTA, static_cast<WPARAM>(panel), reinterpret_cast<LPARAM>(t.c_str()));
  }

 private:
  HWND edits_[8]{};
  HWND status_ = nullptr;
};

// A graph that takes the data and draws nothing.
struct QuietChart : tessaly::test::FakeChart {
  void SetXData(int, int, float) override {}
  void SetYData(int, int, float) override {}
};

void Pump() {
  MSG m;
  while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&m);
    DispatchMessageA(&m);
  }
}

std::string Record(int n, double t) {
  char buf[160];
  std::snprintf(buf, sizeof buf, "%d,%10.8f,%10.6f,%10.6f,%10.6f,%10.6f;", n, t, 1 + (n % 10) * 0.1,
                2 + (n % 7) * 0.1, 3 + (n % 5) * 0.1, 4 + (n % 3) * 0.1);
  return buf;
}

// Seconds of this thread's CPU per call of f, over at least a second.
double CpuPerCall(const std::function<void()>& f, int atLeast) {
  const double c0 = ThreadCpu();
  long long calls = 0;
  double used = 0;
  while (calls < atLeast || used < 1.0) {
    f();
    ++calls;
    used = ThreadCpu() - c0;
  }
  return used / static_cast<double>(calls);
}

struct Form {
  HWND window;
  tessaly::test::FakeLink link;
  BenchView view;
  std::unique_ptr<tessaly::FormChart> graph;
  QuietChart quiet;
  tessaly::StudioModel model;
  int next = 1;

  Form(HWND w, bool withGraph)
      : window(w),
        view(w),
        graph(withGraph ? tessaly::MakeFormChart(w, tessaly::ids::PESGraph1, 167, 6, 553, 424) : nullptr),
        model(link, view, graph ? graph->Surface() : quiet, tessaly::StudioSettings{}) {
    link.ids = {12, 5, 12, 5, -1, -1, -1, -1};
    link.units = {"V", "N", "V", "N", "", "", "", ""};
    model.Reset();
    model.ReadFromExcel("EL[100]ST[0.01]");
    model.FinishSetup();
    model.StartStop();
    model.Started();
  }
  void Line() {
    model.DataLine(Record(next, (next - 1) * 0.01));
    ++next;
    if (model.RecordCount() < 9000) return;
    // A new run before the table is full, its rows erased.
    model.StartStop();
    model.Stopped();
    view.eraseAnswer = true;
    model.StartStop();
    model.Started();
    next = 1;
  }
};

int FormBench() {
  INITCOMMONCONTROLSEX icc{sizeof icc, ICC_BAR_CLASSES};
  InitCommonControlsEx(&icc);
  HWND w = CreateWindowExA(0, "STATIC", "Tessaly", WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN, 0, 0, 728, 453, nullptr,
                           nullptr, nullptr, nullptr);
  if (!w) return Fail("no window"), 1;

  // One record: the line, the messages it leaves, and its share of the
  // value box updates of a 100 ms tick at 1000 records/s.
  double record;
  {
    Form f(w, false);
    record = CpuPerCall(
        [&] {
          for (int i = 0; i < 100; ++i) {
            f.Line();
            Pump();
          }
          f.model.TimerTick();
          Pump();
        },
        20) / 100;
  }
  // One redraw: a new row, so the tick copies the newest 1000 rows of four
  // channels and repaints; and one paint of the same picture.
  double redraw, paint;
  {
    Form f(w, true);
    for (int i = 0; i < 1500; ++i) f.Line();
    f.model.TimerTick();
    Pump();
    redraw = CpuPerCall(
        [&] {
          f.Line();
          f.model.TimerTick();
          Pump();
        },
        20);
    tessaly::ChartSurface& g = f.graph->Surface();
    paint = CpuPerCall(
        [&] {
          g.ReinitializeCustoms();  // the same picture, drawn anew
          g.Repaint();
          Pump();
        },
        20);
  }
  DestroyWindow(w);
  Row("studio_record_through_data_line", record * 1e6, "us", 500, "lower");
  Row("studio_redraw_4x1000_points", redraw * 1e3, "ms", 100, "lower");
  Row("graph_paint_4x1000_points", paint * 1e3, "ms", 100, "lower");
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  const std::string mode = argc > 1 ? argv[1] : "";
  if (mode == "process" && argc > 2) return ProcessBench(argv[2]);
  if (mode == "form") return FormBench();
  std::fprintf(stderr, "usage: studio_bench process TESSALY.EXE | studio_bench form\n");
  return 2;
}
