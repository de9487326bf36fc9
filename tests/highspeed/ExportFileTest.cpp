#include "highspeed/export/ExportFile.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <sstream>

#include "ExportFakes.h"
#include "highspeed/export/ExportCsv.h"
#include "highspeed/export/ExportDialogUi.h"
#include "highspeed/export/ExportProbe.h"

namespace quillon {
namespace {

using test::FakeTexts;
using test::FakeUi;
using test::MakeSource;

std::string TempPath(const char* name) {
  char dir[MAX_PATH];
  GetTempPathA(MAX_PATH, dir);
  return std::string(dir) + name;
}

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

ExportSource SlowSource() {
  ExportSource s = MakeSource({{1.25f, 9.0f, 0.125f}, {2.5f, 9.0f, 0.25f}}, 3, 0, 7);
  s.slowInterval = 0.5f;
  return s;
}

TEST(CsvFile, WritesTheTextOverAnExistingFileAndSaysSo) {
  const std::string path = TempPath("quillon-export-test.csv");
  {
    std::ofstream old(path, std::ios::binary);
    old << std::string(4000, 'x');
  }
  FakeUi ui;
  EXPECT_TRUE(WriteCsvFile(path, SlowSource(), FakeTexts{}, ui));
  EXPECT_EQ(ReadFile(path),
            " ; ; CH [A] ; CH [B] ; CH [C]\r\nTitle ; ; ; ; \r\nNo. ;Time(s) ;V ; ;N\r\n"
            "1 ;0.5000 ;1.2500 ;9.0000 ;0.1250\r\n2 ;1.0000 ;2.5000 ;9.0000 ;0.2500\r\n");
  EXPECT_EQ(ui.messages, (std::vector<std::string>{"<QuillonDlg12>"}));
  DeleteFileA(path.c_str());
}

TEST(CsvFile, FileThatCannotBeCreatedIsReportedNotSaved) {
  FakeUi ui;
  EXPECT_FALSE(WriteCsvFile(TempPath("no-such-folder\\x.csv"), SlowSource(), FakeTexts{}, ui));
  EXPECT_EQ(ui.messages, (std::vector<std::string>{"<QuillonDlg11>"}));
}

TEST(SaveButton, EmptyTableAsksNothing) {
  FakeUi ui;
  SaveToFile(MakeSource({}, 3, 0, 0), FakeTexts{}, ui);
  EXPECT_EQ(ui.saveAsked, 0);
  EXPECT_TRUE(ui.messages.empty());
}

TEST(SaveButton, CancelSaysSoAndChosenPathIsWritten) {
  FakeUi ui;
  SaveToFile(SlowSource(), FakeTexts{}, ui);
  EXPECT_EQ(ui.saveAsked, 1);
  EXPECT_EQ(ui.messages, (std::vector<std::string>{"<QuillonDlg13>"}));

  const std::string path = TempPath("quillon-save-test.csv");
  DeleteFileA(path.c_str());
  ui = FakeUi{};
  ui.saveAnswers.push_back(path);
  SaveToFile(SlowSource(), FakeTexts{}, ui);
  EXPECT_EQ(ReadFile(path), BuildCsvText(SlowSource(), FakeTexts{}));
  EXPECT_EQ(ui.messages, (std::vector<std::string>{"<QuillonDlg12>"}));
  DeleteFileA(path.c_str());
}

// A new file name can be chosen, and a name typed without extension gets ".csv".
TEST(SaveDialog, SetUpAllowsANewCsvFile) {
  OPENFILENAMEA ofn;
  char name[MAX_PATH];
  HWND owner = reinterpret_cast<HWND>(static_cast<INT_PTR>(0x1234));
  FillSaveDialog(ofn, owner, name, MAX_PATH);
  EXPECT_EQ(ofn.lStructSize, sizeof ofn);
  EXPECT_EQ(ofn.hwndOwner, owner);
  EXPECT_EQ(std::string(ofn.lpstrFilter, sizeof "MyType Files (*.csv)\0*.csv\0"),
            std::string("MyType Files (*.csv)\0*.csv\0\0", sizeof "MyType Files (*.csv)\0*.csv\0"));
  EXPECT_STREQ(ofn.lpstrFile, "*.csv");
  EXPECT_EQ(ofn.nMaxFile, static_cast<DWORD>(MAX_PATH));
  EXPECT_STREQ(ofn.lpstrDefExt, "csv");
  EXPECT_TRUE(ofn.Flags & OFN_HIDEREADONLY);
  EXPECT_FALSE(ofn.Flags & OFN_FILEMUSTEXIST);
}

TEST(OsProbe, CurrentWindowsUsesValue) {
  // Wine reports a Windows later than 2000.
  EXPECT_FALSE(ProbeOsVersion());
}

}  // namespace
}  // namespace quillon
