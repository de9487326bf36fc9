#include <windows.h>
#include <commctrl.h>

#include <cstdio>
#include <fstream>
#include <sstream>

#include "sim/demo/DemoSteps.h"
#include "sim/demo/DemoWindows.h"
#include "sim/quillon/SimPort.h"

namespace pel::demo {
namespace {

using namespace std::chrono_literals;

// Control ids of the high-speed dialog.
constexpr int kExperiment = 1002, kLoading = 1004, kList = 1005, kExit = 1007, kSelBuffer = 1018;
// The file name box of the Save dialog (combo box or plain edit).
constexpr int kFileNameCombo = 0x47C, kFileNameEdit = 0x480;
constexpr char kMessageCaption[] = "Pelmora Experiment";

// The high-speed program: its windows, with its message boxes answered and
// shown on the way.
class Quillon {
 public:
  bool Start(const std::string& exe) { return process_.Start("\"" + exe + "\""); }
  bool Exited(std::chrono::milliseconds limit) const { return process_.Exited(limit); }
  HWND Dialog() const {
    HWND d = FindTopWindow(process_.Pid(), "#32770");
    return d && GetDlgItem(d, kList) ? d : nullptr;
  }
  // Waits for done, pressing OK on every message box and printing its text.
  bool Until(const std::function<bool()>& done, std::chrono::milliseconds limit) {
    return WaitFor(
        [&] {
          AnswerMessages();
          return done();
        },
        limit);
  }
  // Waits for the message box with the text and presses OK on it.
  bool Message(const std::string& text, std::chrono::milliseconds limit) {
    return WaitFor(
        [&] {
          HWND box = FindTopWindow(process_.Pid(), "#32770", kMessageCaption);
          if (!box) return false;
          const bool wanted = Answer(box) == text;
          return wanted;
        },
        limit);
  }
  HWND Window(const std::string& caption, std::chrono::milliseconds limit) {
    HWND w = nullptr;
    Until([&] { return (w = FindTopWindow(process_.Pid(), "#32770", caption)) != nullptr; }, limit);
    return w;
  }

 private:
  std::string Answer(HWND box) {
    char text[512] = {};
    GetDlgItemTextA(box, 0xFFFF, text, sizeof text);
    std::fprintf(stderr, "demo: Quillon says \"%s\"\n", text);
    Click(box, IDOK);
    WaitFor([&] { return !IsWindow(box) || !IsWindowVisible(box); }, 5s);
    return text;
  }
  void AnswerMessages() {
    if (HWND box = FindTopWindow(process_.Pid(), "#32770", kMessageCaption)) Answer(box);
  }

  Process process_;
};

int ListRows(HWND dialog) {
  return static_cast<int>(SendMessageA(GetDlgItem(dialog, kList), LVM_GETITEMCOUNT, 0, 0));
}

int Fail(const char* what) {
  std::fprintf(stderr, "demo: %s\n", what);
  return 1;
}

}  // namespace

int RunQuillon(const std::string& exe, int hostPort, int simPort, const std::string& csvPath,
               const std::string& shot) {
  quillon::sim::SimPort sim(quillon::sim::Model::Aster);
  if (!sim.Start("\\\\.\\COM" + std::to_string(simPort))) return Fail("the simulated interface cannot open its port");
  // "~" sorts after every letter: the program looks at the list's last value first.
  windriver::SetSerialListValue("~PelmoraDemo", "COM" + std::to_string(hostPort));

  Quillon app;
  if (!app.Start(exe)) return Fail("cannot start Quillon");
  HWND dlg = nullptr;
  if (!app.Until([&] { return (dlg = app.Dialog()) != nullptr; }, 60s)) return Fail("no Quillon dialog");
  if (!app.Until([&] { return IsWindowEnabled(GetDlgItem(dlg, kLoading)) != FALSE; }, 30s))
    return Fail("Quillon did not find the interface");
  std::fprintf(stderr, "demo: \"%s\" is up; pressing %s\n", WindowText(dlg).c_str(),
               WindowText(GetDlgItem(dlg, kExperiment)).c_str());

  Click(dlg, kExperiment);
  if (!app.Until([&] { return ListRows(dlg) == 1 && IsWindowEnabled(GetDlgItem(dlg, kLoading)); }, 60s))
    return Fail("the capture did not show up in the buffer list");
  std::fprintf(stderr, "demo: captured; the buffer list holds it\n");

  ClickFirstListRow(GetDlgItem(dlg, kList));
  if (!app.Until([&] { return WindowText(GetDlgItem(dlg, kSelBuffer)) == "1"; }, 15s))
    return Fail("the buffer could not be selected");
  std::fprintf(stderr, "demo: pressing %s\n", WindowText(GetDlgItem(dlg, kLoading)).c_str());
  Click(dlg, kLoading);

  HWND save = app.Window("Save As", 90s);
  if (!save) return Fail("no Save dialog after the download");
  const int nameId = GetDlgItem(save, kFileNameCombo) ? kFileNameCombo : kFileNameEdit;
  std::string base = csvPath;
  if (base.size() > 4 && base.substr(base.size() - 4) == ".csv") base.resize(base.size() - 4);  // the dialog adds it
  DeleteFileA(csvPath.c_str());
  SetDlgItemTextA(save, nameId, base.c_str());
  std::fprintf(stderr, "demo: saving as %s\n", csvPath.c_str());
  Click(save, IDOK);
  if (!app.Message("The file has been written.", 30s)) return Fail("no word that the file was written");

  // The dialog as the user sees it after the export: buttons back, no box up.
  app.Until([&] { return IsWindowEnabled(GetDlgItem(dlg, kExperiment)) != FALSE; }, 10s);
  if (!shot.empty() && Screenshot(dlg, shot)) std::fprintf(stderr, "demo: screenshot written\n");
  Click(dlg, kExit);
  if (!app.Exited(30s)) return Fail("Quillon did not end");
  sim.Stop();

  std::ifstream in(csvPath, std::ios::binary);
  if (!in) return Fail("the file was not written");
  std::ostringstream text;
  text << in.rdbuf();
  std::string csv = text.str();
  std::string shown;
  for (char c : csv)
    if (c != '\r') shown += c;
  std::fputs(shown.c_str(), stdout);
  std::fflush(stdout);
  return 0;
}

}  // namespace pel::demo
