// Tessaly.exe end to end against the simulated interface on TCP 4000: the
// configuration from the registry, a run started and ended on the window,
// the clipboard table and the run flag afterwards.
#include <windows.h>

#include <gtest/gtest.h>

#include <commctrl.h>

#include <array>
#include <chrono>
#include <string>
#include <vector>

#include "platform/Registry.h"
#include "sim/interface/InterfaceSim.h"
#include "studio/FormIds.h"
#include "tests/studio/TessalyProcess.h"
#include "tests/support/WindowDriver.h"

namespace {
using pel::reg::Root;
using windriver::ClipboardText;
using windriver::WaitFor;
using windriver::WindowText;
using namespace std::chrono_literals;

const std::string kInterface = "Software\\VB and VBA Program Settings\\Pelmora\\Interface";

void DeleteValue(const std::string& name) {
  HKEY k = nullptr;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, kInterface.c_str(), 0, KEY_SET_VALUE, &k) != ERROR_SUCCESS) return;
  RegDeleteValueA(k, name.c_str());
  RegCloseKey(k);
}

// Tessaly.exe of this build.
class Studio : public tessaly::test::TessalyProcess {
 public:
  bool Start() { return TessalyProcess::Start(TESSALY_EXE); }
};

void PutClipboard(const std::string& text) {
  ASSERT_TRUE(OpenClipboard(nullptr));
  EmptyClipboard();
  HGLOBAL m = GlobalAlloc(GMEM_MOVEABLE, text.size() + 1);
  memcpy(GlobalLock(m), text.c_str(), text.size() + 1);
  GlobalUnlock(m);
  SetClipboardData(CF_TEXT, m);
  CloseClipboard();
}

std::string Commands(pel::sim::InterfaceSim& sim) {
  std::string all;
  for (const auto& t : sim.log().texts()) all += t + " ";
  return all;
}

class TessalyEndToEnd : public ::testing::Test {
 protected:
  void SetUp() override {
    pel::reg::writeString(Root::CurrentUser, kInterface, "ExcelToTessalyRunFlag", "1");
    DeleteValue("Qor3");
    PutClipboard("left over");
  }
  void TearDown() override {
    DeleteValue("ExcelToTessaly");
    DeleteValue("ExcelToTessalyRunFlag");
  }
  void Config(const std::string& c) { pel::reg::writeString(Root::CurrentUser, kInterface, "ExcelToTessaly", c); }
  std::string RunFlag() { return pel::reg::readString(Root::CurrentUser, kInterface, "ExcelToTessalyRunFlag"); }
  // The interface on TCP 4000 with sensors of these ids on its channels.
  static void Serve(pel::sim::InterfaceSim& sim, std::array<int, 8> ids) {
    auto s = sim.settings();
    s.sensorIds = ids;
    sim.setSettings(s);
    sim.startTcp(4000);
  }
  // Start pressed on the connected form: the run starts, ends within the
  // limit, and End is ready.
  static void RunOnce(Studio& studio, std::chrono::milliseconds runLimit, pel::sim::InterfaceSim* sim = nullptr) {
    studio.Click(tessaly::ids::Button4);
    ASSERT_TRUE(WaitFor([&] { return studio.Text(tessaly::ids::Button4) == "Stop"; }, 10s))
        << (sim ? Commands(*sim) : std::string());
    ASSERT_TRUE(WaitFor([&] { return studio.Text(tessaly::ids::Button4) == "Start"; }, runLimit));
    ASSERT_TRUE(WaitFor([&] { return studio.Enabled(tessaly::ids::Button5); }, 10s));
  }
  static void End(Studio& studio) {
    studio.Click(tessaly::ids::Button5);
    ASSERT_TRUE(studio.Exited(30s));
  }
};

TEST_F(TessalyEndToEnd, RunThenEndHandsTheTableBack) {
  pel::sim::InterfaceSim sim(pel::sim::Model::SornII);
  Serve(sim, {12, 0, 5, 0, 0, 0, 0, 0});
  Config("EL[1]ST[0.1]A[12;V;1;0]");

  Studio studio;
  ASSERT_TRUE(studio.Start());
  ASSERT_TRUE(WaitFor([&] { return studio.Enabled(tessaly::ids::Button4); }, 60s)) << "no connected form";
  EXPECT_EQ(WindowText(studio.Form()), "Tessaly");

  // A second instance gives up at once.
  {
    Studio second;
    ASSERT_TRUE(second.Start());
    DWORD code = 1;
    EXPECT_TRUE(second.Exited(30s, &code));
    EXPECT_EQ(code, 0u);
  }
  // Closing the window before End does nothing.
  PostMessageA(studio.Form(), WM_CLOSE, 0, 0);

  ASSERT_NO_FATAL_FAILURE(RunOnce(studio, 30s, &sim));
  EXPECT_FALSE(studio.Exited(0ms));
  ASSERT_NO_FATAL_FAILURE(End(studio));

  EXPECT_EQ(RunFlag(), "0");
  // Rows of time and the values of A and C (the simulated interface reads
  // k + 1 plus a tenth of the sample number modulo 10 on channel k); B and
  // D have no sensor and keep empty fields.
  std::string want;
  for (int i = 0; i < 11; ++i) {
    const std::string tenth = i % 10 ? "." + std::to_string(i % 10) : "";
    const std::string time = i == 10 ? "1" : i ? "0." + std::to_string(i) : "0";
    want += std::to_string(i + 1) + "\t" + time + "\t1" + tenth + "\t\t3" + tenth + "\t\r";
  }
  EXPECT_EQ(ClipboardText(), want);
}

// A run at 1000 records/s of four channels: every record becomes a row of
// the hand-back, in order, none lost or repeated.
TEST_F(TessalyEndToEnd, AFastRunHandsBackEveryRow) {
  pel::sim::InterfaceSim sim(pel::sim::Model::Qor3);
  Serve(sim, {12, 5, 12, 5, 0, 0, 0, 0});
  Config("EL[2]ST[0.001]");

  Studio studio;
  ASSERT_TRUE(studio.Start());
  ASSERT_TRUE(WaitFor([&] { return studio.Enabled(tessaly::ids::Button4); }, 60s)) << "no connected form";
  ASSERT_NO_FATAL_FAILURE(RunOnce(studio, 60s, &sim));
  ASSERT_NO_FATAL_FAILURE(End(studio));

  const std::string text = ClipboardText();
  std::vector<std::string> lines;
  for (std::size_t at = 0, cr; (cr = text.find('\r', at)) != std::string::npos; at = cr + 1)
    lines.push_back(text.substr(at, cr - at));
  ASSERT_EQ(lines.size(), 2001u);
  for (int i = 0; i < 2001; ++i) {
    // Channel k reads k + 1 plus a tenth of the sample number modulo 10.
    const std::string tenth = i % 10 ? "." + std::to_string(i % 10) : "";
    const std::string head = std::to_string(i + 1) + "\t";
    const std::string values = "\t1" + tenth + "\t2" + tenth + "\t3" + tenth + "\t4" + tenth;
    const std::string& line = lines[static_cast<std::size_t>(i)];
    ASSERT_EQ(line.substr(0, head.size()), head) << i;
    ASSERT_GE(line.size(), values.size()) << i;
    ASSERT_EQ(line.substr(line.size() - values.size()), values) << line;
  }
  EXPECT_EQ(lines.back(), "2001\t2\t1\t2\t3\t4");
}

// The right edges of the status bar's panels, read through the program's memory.
std::vector<int> StatusPanelEdges(HWND bar) {
  DWORD pid = 0;
  GetWindowThreadProcessId(bar, &pid);
  std::vector<int> edges;
  HANDLE process = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, pid);
  if (!process) return edges;
  int remoteEdges[8] = {};
  if (void* remote = VirtualAllocEx(process, nullptr, sizeof remoteEdges, MEM_COMMIT, PAGE_READWRITE)) {
    const auto n = static_cast<int>(SendMessageA(bar, SB_GETPARTS, 8, reinterpret_cast<LPARAM>(remote)));
    if (ReadProcessMemory(process, remote, remoteEdges, sizeof remoteEdges, nullptr) && n > 0 && n <= 8)
      edges.assign(remoteEdges, remoteEdges + n);
    VirtualFreeEx(process, remote, 0, MEM_RELEASE);
  }
  CloseHandle(process);
  return edges;
}

TEST_F(TessalyEndToEnd, WithoutInterfaceOnlyEndWorks) {
  Config("EL[1]ST[0.1]");  // nobody listens on TCP 4000
  Studio studio;
  ASSERT_TRUE(studio.Start());
  ASSERT_TRUE(WaitFor(
      [&] {
        HWND p = studio.Control(tessaly::ids::Panel1);
        return p && IsWindowVisible(p);
      },
      60s));
  // Status panels of 120, 450 and 50 pixels (the bar is empty after the
  // third) and the recording label are there whether connected or not.
  EXPECT_EQ(StatusPanelEdges(studio.Control(tessaly::ids::StatusBar1)), (std::vector<int>{120, 570, 620}));
  EXPECT_EQ(WindowText(studio.Control(tessaly::ids::Label4)), "Recording");
  EXPECT_FALSE(IsWindowEnabled(studio.Control(tessaly::ids::Panel1)));
  EXPECT_FALSE(IsWindowEnabled(studio.Control(tessaly::ids::Button4)));
  ASSERT_TRUE(studio.Enabled(tessaly::ids::Button5));
  ASSERT_NO_FATAL_FAILURE(End(studio));
  EXPECT_EQ(RunFlag(), "0");
  EXPECT_EQ(ClipboardText(), "");
}

TEST_F(TessalyEndToEnd, EmptyConfigurationEndsAtOnce) {
  pel::sim::InterfaceSim sim(pel::sim::Model::SornII);
  sim.startTcp(4000);
  Config("");
  Studio studio;
  ASSERT_TRUE(studio.Start());
  ASSERT_TRUE(studio.Exited(60s));
  EXPECT_EQ(RunFlag(), "0");
  EXPECT_EQ(ClipboardText(), "");
}

TEST_F(TessalyEndToEnd, AFailedEndDuringTheSetUpLeavesAWorkingWindow) {
  pel::sim::InterfaceSim sim(pel::sim::Model::SornII);
  sim.startTcp(4000);
  Config("");  // End at once, which cannot reach the clipboard held here
  ASSERT_TRUE(OpenClipboard(nullptr));
  Studio studio;
  ASSERT_TRUE(studio.Start());
  std::string text;
  HWND box = studio.WaitMessageBox(60s, &text);
  CloseClipboard();
  ASSERT_NE(box, nullptr) << "no message about the clipboard";
  EXPECT_NE(text.find("lipboard"), std::string::npos) << text;
  PostMessageA(box, WM_COMMAND, IDOK, 0);
  // The set-up went on: the link set up, Start ready; End wrote no flag.
  EXPECT_TRUE(WaitFor([&] { return studio.Enabled(tessaly::ids::Button4); }, 60s)) << Commands(sim);
  EXPECT_EQ(RunFlag(), "1");
  ASSERT_NO_FATAL_FAILURE(End(studio));
  EXPECT_EQ(RunFlag(), "0");
  EXPECT_EQ(ClipboardText(), "");
}

TEST_F(TessalyEndToEnd, ALanguageIdThatIsNoNumberLeavesOnlyEnd) {
  const std::string key =
      "Software\\VB and VBA Program Settings\\Pelmora\\Message\\" + std::to_string(GetSystemDefaultLangID());
  const bool existed = pel::reg::keyExists(Root::CurrentUser, key);
  const std::string language = pel::reg::readString(Root::CurrentUser, key, "Language");
  const std::string lcid = pel::reg::readString(Root::CurrentUser, key, "LCID");
  const auto restore = [&] {
    if (!existed) {
      pel::reg::deleteTree(Root::CurrentUser, key);
      return;
    }
    pel::reg::writeString(Root::CurrentUser, key, "Language", language);
    pel::reg::writeString(Root::CurrentUser, key, "LCID", lcid);
  };
  pel::reg::writeString(Root::CurrentUser, key, "Language", "English");
  pel::reg::writeString(Root::CurrentUser, key, "LCID", "x1");
  Config("EL[1]ST[0.1]");
  Studio studio;
  ASSERT_TRUE(studio.Start());
  std::string text;
  HWND box = studio.WaitMessageBox(60s, &text);
  restore();
  ASSERT_NE(box, nullptr) << "no message about the language id";
  EXPECT_NE(text.find("x1"), std::string::npos) << text;
  PostMessageA(box, WM_COMMAND, IDOK, 0);
  ASSERT_TRUE(WaitFor([&] { return !IsWindow(box); }, 10s));
  EXPECT_TRUE(studio.Enabled(tessaly::ids::Button5));
  EXPECT_EQ(WindowText(studio.Control(tessaly::ids::Button5)), "End");
  EXPECT_FALSE(IsWindowVisible(studio.Control(tessaly::ids::Panel1)));
  ASSERT_NO_FATAL_FAILURE(End(studio));
  EXPECT_EQ(RunFlag(), "0");
}

}  // namespace
