// The port probe without a serial-port list: COM3 upward, each asked "S{10,3}";
// the simulated interface answers on the other end of the COM3 pty pair.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "sim/quillon/SimPort.h"
#include "tests/highspeed/ProgramDriver.h"

namespace quillon::test {
namespace {

const char kList[] = "HARDWARE\\DEVICEMAP\\SERIALCOMM";

// Empties the serial-port list for the test and puts it back afterwards.
class EmptySerialList {
 public:
  EmptySerialList() {
    HKEY k = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kList, 0, KEY_ALL_ACCESS, &k) != ERROR_SUCCESS) return;
    for (;;) {
      char name[256], data[256];
      DWORD nameLen = sizeof name, dataLen = sizeof data - 1, type = 0;
      if (RegEnumValueA(k, 0, name, &nameLen, nullptr, &type, reinterpret_cast<BYTE*>(data), &dataLen) !=
          ERROR_SUCCESS)
        break;
      data[dataLen] = 0;
      saved_.emplace_back(name, data);
      RegDeleteValueA(k, name);
    }
    RegCloseKey(k);
  }
  ~EmptySerialList() {
    for (const auto& [name, data] : saved_) SetRegString(HKEY_LOCAL_MACHINE, kList, name, data);
  }

 private:
  std::vector<std::pair<std::string, std::string>> saved_;
};

TEST(PortProbe, WithoutAListTheFirstPortThatAnswersIsTaken) {
  SetRegString(HKEY_CURRENT_USER, "Software\\VB and VBA Program Settings\\Pelmora\\Quillon\\1033\\MainDialog",
               "DialogTitle", "Quillon probe");
  SetRegString(HKEY_CURRENT_USER, "Software\\VB and VBA Program Settings\\Pelmora\\Quillon\\1033\\Message",
               "QuillonDlg4", "Blocks loaded");
  SetRegString(HKEY_CURRENT_USER, "Software\\VB and VBA Program Settings\\Pelmora\\Quillon\\1033\\Message",
               "QuillonDlg13", "Not saved");
  SetRegString(HKEY_CURRENT_USER, "Software\\VB and VBA Program Settings\\Pelmora\\Quillset", "LoadOption", "FALSE");
  sim::SimPort sim(sim::Model::Sorn);
  ASSERT_TRUE(sim.Start("COM4"));
  EmptySerialList empty;
  Program app;
  ASSERT_TRUE(app.Start());
  HWND dlg = app.WaitWindow("Quillon probe - Sorn / Sorn II", 15000);
  ASSERT_NE(dlg, nullptr);
  int identifies = 0;
  sim.With([&](sim::QuillonSim& s) {
    for (const auto& c : s.Commands()) identifies += c == "S{10,3}";
  });
  EXPECT_EQ(identifies, 2) << "once by the probe, once for the identification";

  // A Sorn capture ends with its experiment info (one list row); its blocks download.
  Click(dlg, 1002);
  bool listed = false;
  for (int i = 0; i < 500 && !listed; ++i) {
    listed = SendMessageA(GetDlgItem(dlg, 1005), LVM_GETITEMCOUNT, 0, 0) == 1;
    Sleep(20);
  }
  EXPECT_TRUE(listed);
  for (int i = 0; i < 500 && !IsWindowEnabled(GetDlgItem(dlg, 1004)); ++i) Sleep(20);
  Click(dlg, 1004);
  EXPECT_EQ(app.DismissMessage(15000), "Blocks loaded");
  // The text-file export follows: its Save dialog, cancelled.
  HWND save = app.WaitWindow("Save As", 15000);
  ASSERT_NE(save, nullptr);
  Click(save, IDCANCEL);
  EXPECT_EQ(app.DismissMessage(15000), "Not saved");
  std::vector<std::string> blocks;
  sim.With([&](sim::QuillonSim& s) {
    for (const auto& c : s.Commands())
      if (c.rfind("S{80,4,", 0) == 0) blocks.push_back(c);
  });
  ASSERT_EQ(blocks.size(), 10u) << "300 samples in blocks of 30";
  EXPECT_EQ(blocks.front(), "S{80,4,0}");
  EXPECT_EQ(blocks.back(), "S{80,4,9}");
  // The program sent commands of the dialect and nothing else.
  sim.With([](sim::QuillonSim& s) { EXPECT_EQ(s.Rejected(), std::vector<std::string>{}); });
  Click(dlg, 1007);
  DWORD code = 1;
  EXPECT_TRUE(app.WaitExit(10000, &code));
  EXPECT_EQ(code, 0u);
  sim.Stop();
}

}  // namespace
}  // namespace quillon::test
