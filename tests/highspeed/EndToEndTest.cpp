// The real program against the simulated interface over a COM pty pair:
// probe, identification, buffer list, a capture, a download, Exit.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

#include "sim/quillon/SimPort.h"
#include "tests/highspeed/ProgramDriver.h"

namespace quillon::test {
namespace {

const char kTexts[] = "Software\\VB and VBA Program Settings\\Pelmora\\Quillon\\1033";

bool WaitFor(const std::function<bool()>& done, int ms = 10000) {
  for (int waited = 0; waited < ms; waited += 20) {
    if (done()) return true;
    Sleep(20);
  }
  return done();
}

int ListRows(HWND dlg) { return static_cast<int>(SendMessageA(GetDlgItem(dlg, 1005), LVM_GETITEMCOUNT, 0, 0)); }
std::string ItemText(HWND dlg, int id) { return WindowText(GetDlgItem(dlg, id)); }

bool SimSaw(sim::SimPort& sim, const std::string& command) {
  bool seen = false;
  sim.With([&](sim::QuillonSim& s) {
    seen = std::find(s.Commands().begin(), s.Commands().end(), command) != s.Commands().end();
  });
  return seen;
}

TEST(EndToEnd, ProbeListCaptureDownload) {
  const std::string main = std::string(kTexts) + "\\MainDialog";
  SetRegString(HKEY_CURRENT_USER, main, "DialogTitle", "Quillon run");
  SetRegString(HKEY_CURRENT_USER, main, "ButtonCaption1", "Start");
  SetRegString(HKEY_CURRENT_USER, main, "ButtonCaption1-1", "Stop");
  SetRegString(HKEY_CURRENT_USER, std::string(kTexts) + "\\Message", "QuillonDlg4", "Download finished");
  SetRegString(HKEY_CURRENT_USER, std::string(kTexts) + "\\Message", "QuillonDlg13", "Not saved");
  SetRegString(HKEY_CURRENT_USER, "Software\\VB and VBA Program Settings\\Pelmora\\Quillset", "LoadOption", "FALSE");

  sim::SimPort sim;
  sim.With([](sim::QuillonSim& s) {
    s.SetBuffer(1, 0, 1, 1, 0, 0, 65);
    s.SetBuffer(3, 10, 0, 1, 2, 0, 1000);
  });
  ASSERT_TRUE(sim.Start("\\\\.\\COM12"));
  SetLastSerialPort("COM11");

  Program app;
  ASSERT_TRUE(app.Start());
  HWND dlg = app.WaitWindow("Quillon run - Aster", 15000);
  ASSERT_NE(dlg, nullptr) << "identified as Aster";
  EXPECT_TRUE(WaitFor([&] { return ListRows(dlg) == 2; })) << "buffers 1 and 3 listed";
  EXPECT_TRUE(SimSaw(sim, "S{80,11,1}") && SimSaw(sim, "S{80,11,3}"));
  EXPECT_TRUE(WaitFor([&] { return IsWindowEnabled(GetDlgItem(dlg, 1004)) != FALSE; }));

  // A capture on channel A at 0.1 ms: set-up, start, the new buffer appears in the list.
  Click(dlg, 1002);
  EXPECT_TRUE(WaitFor([&] { return ListRows(dlg) == 3; }));
  EXPECT_TRUE(SimSaw(sim, "S{82,1,1}"));
  EXPECT_TRUE(SimSaw(sim, "S{80,1}"));
  EXPECT_EQ(ItemText(dlg, 1002), "Start");
  EXPECT_TRUE(IsWindowEnabled(GetDlgItem(dlg, 1004)));

  // Select the first row (buffer 1, 65 samples) with a click on the list.
  ClickFirstListRow(GetDlgItem(dlg, 1005));
  EXPECT_TRUE(WaitFor([&] { return ItemText(dlg, 1018) == "1"; })) << "buffer " << ItemText(dlg, 1018);
  EXPECT_EQ(ItemText(dlg, 1019), "0");
  EXPECT_EQ(ItemText(dlg, 1017), "    0");
  EXPECT_EQ(ItemText(dlg, 1016), "   65");

  sim.SetByteWise(true);  // every byte of the frames in a write of its own
  Click(dlg, 1004);
  EXPECT_EQ(app.DismissMessage(15000), "Download finished");
  // The text-file export follows: its Save dialog, cancelled.
  HWND save = app.WaitWindow("Save As", 15000);
  ASSERT_NE(save, nullptr);
  Click(save, IDCANCEL);
  EXPECT_EQ(app.DismissMessage(15000), "Not saved");
  sim.SetByteWise(false);
  EXPECT_TRUE(SimSaw(sim, "S{80,12,0,30}"));
  EXPECT_TRUE(SimSaw(sim, "S{80,12,30,30}"));
  EXPECT_TRUE(SimSaw(sim, "S{80,12,60,5}"));
  EXPECT_FALSE(IsWindowVisible(GetDlgItem(dlg, 1000))) << "progress bar hidden";
  // The buttons come back once the export returned, a moment after its message.
  for (int id : {1002, 1004, 1012, 1013})
    EXPECT_TRUE(WaitFor([&] { return IsWindowEnabled(GetDlgItem(dlg, id)) != FALSE; })) << id;

  // Delete the selected buffer: acknowledged, the selection goes, the list is read again.
  Click(dlg, 1012);
  EXPECT_TRUE(WaitFor([&] { return SimSaw(sim, "S{80,14,1}") && ListRows(dlg) == 2 && ItemText(dlg, 1018).empty(); }));
  Click(dlg, 1013);
  EXPECT_TRUE(WaitFor([&] { return SimSaw(sim, "S{80,13}") && ListRows(dlg) == 0; }));

  // The program sent commands of the dialect and nothing else.
  sim.With([](sim::QuillonSim& s) { EXPECT_EQ(s.Rejected(), std::vector<std::string>{}); });
  Click(dlg, 1007);
  DWORD code = 1;
  ASSERT_TRUE(app.WaitExit(10000, &code));
  EXPECT_EQ(code, 0u);
  sim.Stop();
  SetLastSerialPort("");
}

}  // namespace
}  // namespace quillon::test
