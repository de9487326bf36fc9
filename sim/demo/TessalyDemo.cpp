#include "sim/demo/DemoSteps.h"

#include <cstdio>

#include "sim/demo/DemoWindows.h"
#include "studio/FormIds.h"

namespace pel::demo {

using namespace std::chrono_literals;

int RunTessaly(const std::string& exe, bool press, const std::string& shot) {
  Process studio;
  if (!studio.Start("\"" + exe + "\"")) {
    std::fprintf(stderr, "cannot start %s\n", exe.c_str());
    return 1;
  }
  if (press) {
    HWND form = nullptr;
    HWND start = nullptr;
    if (!WaitFor(
            [&] {
              form = FindTopWindow(studio.Pid(), "TSDIAppForm");
              start = FindControl(form, tessaly::ids::Button4);
              return start && IsWindowEnabled(start) && IsWindowEnabled(GetParent(start));
            },
            90s)) {
      std::fprintf(stderr, "Tessaly did not come up connected (Start not enabled)\n");
      return 1;
    }
    const std::string idle = WindowText(start);
    std::fprintf(stderr, "demo: pressing %s\n", idle.c_str());
    Click(start);
    if (!WaitFor([&] { return WindowText(start) != idle; }, 15s)) {
      std::fprintf(stderr, "the run did not start\n");
      return 1;
    }
    std::fprintf(stderr, "demo: running, waiting for the automatic stop\n");
    HWND end = FindControl(form, tessaly::ids::Button5);
    if (!WaitFor([&] { return WindowText(start) == idle && end && IsWindowEnabled(end); }, 120s)) {
      std::fprintf(stderr, "the run did not stop by itself\n");
      return 1;
    }
    Sleep(800);  // the redraw tick paints the last rows
    if (!shot.empty()) {
      if (Screenshot(form, shot))
        std::fprintf(stderr, "demo: screenshot written\n");
      else
        std::fprintf(stderr, "demo: no screenshot\n");
    }
    std::fprintf(stderr, "demo: pressing %s\n", WindowText(end).c_str());
    Click(end);
    if (!studio.Exited(60s)) {
      std::fprintf(stderr, "Tessaly did not end\n");
      return 1;
    }
  } else {
    studio.Exited(std::chrono::milliseconds(INFINITE));
  }
  std::string table = ClipboardText();
  for (char& c : table)
    if (c == '\r') c = '\n';
  std::fputs(table.c_str(), stdout);
  std::fflush(stdout);
  return 0;
}

}  // namespace pel::demo
