// The real program exports what it downloaded from the simulated interface:
// to a file named in the Save dialog, and to the stand-in spreadsheet running
// in this process (whose calls this thread serves while it waits).
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <sstream>

#include "highspeed/export/ExportDownload.h"
#include "sim/excel/ExcelSim.h"
#include "sim/excel/ExcelSimRegistration.h"
#include "sim/quillon/SimPort.h"
#include "tests/highspeed/ProgramDriver.h"

namespace quillon::test {
namespace {

const char kDialogTexts[] = "Software\\VB and VBA Program Settings\\Pelmora\\Quillon\\1033";
const int kLoading = 1004, kList = 1005, kExit = 1007, kSelBuffer = 1018;
const int kFileNameCombo = 0x47C, kFileNameEdit = 0x480;

// Waits for done while serving this thread's window messages (and so the
// automation calls that reach the stand-in).
bool PumpUntil(const std::function<bool()>& done, int ms = 15000) {
  for (int waited = 0; waited < ms; waited += 20) {
    if (done()) return true;
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessageA(&msg);
    }
  }
  return done();
}

std::string ReadWholeFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

// Texts of the program and of the export, one buffer of three fast samples on
// channel A (sensor 1), and the program identified with that buffer listed.
class ExportThroughTheProgram : public ::testing::Test {
 protected:
  void SetUp() override {
    const std::string message = std::string(kDialogTexts) + "\\Message";
    SetRegString(HKEY_CURRENT_USER, std::string(kDialogTexts) + "\\MainDialog", "DialogTitle", "Quillon export");
    SetRegString(HKEY_CURRENT_USER, message, "QuillonDlg4", "Download finished");
    SetRegString(HKEY_CURRENT_USER, message, "QuillonDlg12", "File written");
    SetRegString(HKEY_CURRENT_USER, message, "QuillonDlg13", "Not saved");
    // These keys take the system language as it is.
    const std::string lang =
        "Software\\VB and VBA Program Settings\\Pelmora\\Message\\" + std::to_string(GetSystemDefaultLangID());
    SetRegString(HKEY_CURRENT_USER, lang + "\\RunExperimentDialog", "Message1", "Time(s)");
    SetRegString(HKEY_CURRENT_USER, lang + "\\RunExperimentDialog", "Message2", "No.");
    SetRegString(HKEY_CURRENT_USER, lang + "\\RunExperimentDialog", "Message3", "Capture");
    SetRegString(HKEY_CURRENT_USER, lang + "\\SensorInfo", "Unit1", "V");
    sim_.With([](sim::QuillonSim& s) {
      s.SetBuffer(1, 0, 1, 1, 0, 0, 3);
      s.Buffer(1).samples = {12500, -7500, 250};
    });
    ASSERT_TRUE(sim_.Start("\\\\.\\COM12"));
    SetLastSerialPort("COM11");
  }
  void TearDown() override {
    if (dlg_) {
      Click(dlg_, kExit);
      DWORD code = 1;
      EXPECT_TRUE(app_.WaitExit(15000, &code));
      EXPECT_EQ(code, 0u);
    }
    sim_.Stop();
    // The program sent commands of the dialect and nothing else.
    sim_.With([](sim::QuillonSim& s) { EXPECT_EQ(s.Rejected(), std::vector<std::string>{}); });
    SetLastSerialPort("");
    SetRegString(HKEY_CURRENT_USER, kQuillset, "LoadOption", "");
  }
  // Starts the program with the spreadsheet option; use with ASSERT_TRUE.
  bool StartProgram(bool toSpreadsheet) {
    SetRegString(HKEY_CURRENT_USER, kQuillset, "LoadOption", toSpreadsheet ? "TRUE" : "FALSE");
    if (!app_.Start()) return false;
    dlg_ = app_.WaitWindow("Quillon export - Aster", 30000);
    if (!dlg_) return false;
    HWND list = GetDlgItem(dlg_, kList);
    return PumpUntil([&] { return SendMessageA(list, LVM_GETITEMCOUNT, 0, 0) == 1; }) &&
           PumpUntil([&] { return IsWindowEnabled(GetDlgItem(dlg_, kLoading)) != FALSE; });
  }
  // Selects the buffer, downloads it and closes the end-of-download message.
  void Download() {
    ClickFirstListRow(GetDlgItem(dlg_, kList));
    ASSERT_TRUE(PumpUntil([&] { return WindowText(GetDlgItem(dlg_, kSelBuffer)) == "1"; }));
    Click(dlg_, kLoading);
    EXPECT_EQ(Dismiss(), "Download finished");
  }
  // The program's window with the caption, while this thread keeps serving calls.
  HWND Window(const char* caption) {
    HWND w = nullptr;
    PumpUntil([&] { return (w = app_.WaitWindow(caption, 0)) != nullptr; }, 30000);
    return w;
  }
  HWND SaveDialog() { return Window("Save As"); }
  // Presses OK on the program's message box; its text.
  std::string Dismiss() {
    HWND box = Window("Pelmora Experiment");
    if (!box) return "<no message>";
    char text[512] = {};
    GetDlgItemTextA(box, 0xFFFF, text, sizeof text);
    Click(box, IDOK);
    PumpUntil([&] { return !IsWindow(box); });
    return text;
  }

  static constexpr char kQuillset[] = "Software\\VB and VBA Program Settings\\Pelmora\\Quillset";
  sim::SimPort sim_;
  Program app_;
  HWND dlg_ = nullptr;
};

const char kCsv[] =
    " ; ; CH [A] ; CH [B] ; CH [C]\r\n"
    "Capture ; ; ; ; \r\n"
    "No. ;Time(s) ;V ; ;\r\n"
    "1 ;0.0001 ;1.2500 ; ;\r\n"
    "2 ;0.0002 ;-0.7500 ; ;\r\n"
    "3 ;0.0003 ;0.0250 ; ;\r\n";

TEST_F(ExportThroughTheProgram, DownloadIsSavedToANewFile) {
  char dir[MAX_PATH];
  GetTempPathA(MAX_PATH, dir);
  const std::string path = std::string(dir) + "quillon-e2e-export";  // the dialog adds ".csv"
  DeleteFileA((path + ".csv").c_str());
  ASSERT_TRUE(StartProgram(false));
  Download();
  HWND save = SaveDialog();
  ASSERT_NE(save, nullptr) << "the Save dialog follows the download";
  const int nameId = GetDlgItem(save, kFileNameCombo) ? kFileNameCombo : kFileNameEdit;
  SetDlgItemTextA(save, nameId, path.c_str());
  Click(save, IDOK);
  EXPECT_EQ(Dismiss(), "File written");
  EXPECT_EQ(ReadWholeFile(path + ".csv"), kCsv);
  DeleteFileA((path + ".csv").c_str());
}

TEST_F(ExportThroughTheProgram, DownloadIsOfferedAsAFileWithoutSpreadsheetAndGoesIntoARunningOne) {
  ASSERT_TRUE(SUCCEEDED(CoInitialize(nullptr)));
  {
    pel::sim::ExcelProgIdRegistration progId(pel::sim::kSimExcelClsid);
    ASSERT_TRUE(progId.Ok());
    ASSERT_TRUE(StartProgram(true));
    // No spreadsheet runs yet: the user is told, and the Save dialog follows.
    Download();
    EXPECT_EQ(Dismiss(), kNoSpreadsheetText);
    HWND save = SaveDialog();
    ASSERT_NE(save, nullptr);
    Click(save, IDCANCEL);
    EXPECT_EQ(Dismiss(), "Not saved");

    pel::sim::ExcelSim excel(2);
    pel::sim::ActiveObjectRegistration running(excel.Application(), pel::sim::kSimExcelClsid);
    ASSERT_TRUE(SUCCEEDED(running.Result())) << std::hex << running.Result();
    Download();
    pel::sim::SimExcelState& state = excel.State();
    const std::string lastPut = "Sheet3!E4:E6.Value(omitted) = BSTR[3x1 from 0,0]";  // C has no sensor
    EXPECT_TRUE(PumpUntil([&] { return !state.calls.empty() && state.calls.back() == lastPut; }))
        << (state.calls.empty() ? "no call" : state.calls.back());
    ASSERT_EQ(state.sheets.size(), 3u);
    EXPECT_EQ(state.calls.at(3), "Worksheets.Add(Before=omitted, After=Sheet2, Count=omitted, Type=omitted) -> Sheet3");
    const pel::sim::SimSheet* sheet = state.Sheet(L"Sheet3");
    ASSERT_NE(sheet, nullptr);
    auto cell = [&](int row, int column) { return sheet->cells.at({row, column}); };
    EXPECT_EQ(cell(2, 1).text, L"Capture");
    EXPECT_EQ(cell(3, 3).text, L"V");
    const float values[3] = {1.25f, -0.75f, 0.025f};
    for (int j = 0; j < 3; ++j) {
      EXPECT_EQ(cell(4 + j, 1).i4, j + 1);
      EXPECT_EQ(cell(4 + j, 3).r4, values[j]) << j;
      EXPECT_EQ(cell(4 + j, 4).vt, VT_BSTR) << "B has no sensor";
    }
    EXPECT_EQ(cell(4, 2).r4, static_cast<float>(static_cast<double>(0.0001f) + 1e-9));
    EXPECT_EQ(cell(6, 2).r4, 3 * 0.0001f);
    // The program lets go of the sheet's objects while this thread serves it.
    Click(dlg_, kExit);
    DWORD code = 1;
    EXPECT_TRUE(PumpUntil([&] { return app_.WaitExit(0, &code); }));
    EXPECT_EQ(code, 0u);
    dlg_ = nullptr;
  }
  CoUninitialize();
}

}  // namespace
}  // namespace quillon::test
