#include "highspeed/export/ExportExcel.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <fstream>

#include "ExportFakes.h"
#include "highspeed/export/ExportDownload.h"
#include "sim/excel/ExcelSim.h"
#include "sim/excel/ExcelSimRegistration.h"

namespace quillon {
namespace {

using pel::sim::SimCell;
using pel::sim::SimSheet;
using test::FakeTexts;
using test::FakeUi;
using test::MakeSource;

class ExcelExport : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(SUCCEEDED(CoInitialize(nullptr)));
    progId_.emplace(pel::sim::kSimExcelClsid);
    ASSERT_TRUE(progId_->Ok()) << "the ProgID does not map to the stand-in";
  }
  void TearDown() override {
    running_.reset();
    excel_.reset();
    progId_.reset();
    CoUninitialize();
  }
  // The stand-in, running and findable; use with ASSERT_TRUE.
  bool StartExcel(int sheets) {
    excel_.emplace(sheets);
    running_.emplace(excel_->Application(), pel::sim::kSimExcelClsid);
    if (FAILED(running_->Result())) {
      ADD_FAILURE() << "RegisterActiveObject failed: " << std::hex << running_->Result();
      return false;
    }
    IUnknown* unk = nullptr;
    const HRESULT hr = GetActiveObject(pel::sim::kSimExcelClsid, nullptr, &unk);
    if (unk) unk->Release();
    if (FAILED(hr)) ADD_FAILURE() << "GetActiveObject failed: " << std::hex << hr;
    return SUCCEEDED(hr);
  }
  const SimCell& Cell(const std::wstring& sheet, int row, int column) {
    const SimSheet* s = excel_->State().Sheet(sheet);
    EXPECT_NE(s, nullptr);
    static const SimCell none;
    if (!s) return none;
    auto it = s->cells.find({row, column});
    return it == s->cells.end() ? none : it->second;
  }
  void ExpectText(const std::wstring& sheet, int row, int column, const std::wstring& text) {
    const SimCell& c = Cell(sheet, row, column);
    EXPECT_EQ(c.vt, VT_BSTR) << row << "," << column;
    EXPECT_FALSE(c.nullText) << row << "," << column;
    EXPECT_EQ(c.text, text) << row << "," << column;
  }

  std::optional<pel::sim::ExcelProgIdRegistration> progId_;
  std::optional<pel::sim::ExcelSim> excel_;
  std::optional<pel::sim::ActiveObjectRegistration> running_;
};

std::vector<std::string> Sequence(const std::string& sheet, const std::string& put, int rows) {
  std::vector<std::string> calls = {
      "Application.Worksheets",
      "Worksheets.Count -> 3",
      "Worksheets.Item(I4 3) -> Sheet3",
      "Worksheets.Add(Before=omitted, After=Sheet3, Count=omitted, Type=omitted) -> Sheet4",
      "Worksheets.Count -> 4",
      "Worksheets.Item(I2 4) -> " + sheet,
      sheet + ".Range(A1, E3)",
      sheet + "!A1:E3." + put + " = BSTR[3x5 from 0,0]",
  };
  const char* types[5] = {"I4", "R4", "R4", "BSTR", "R4"};  // channel B without sensor
  for (int c = 0; c < 5 && rows > 0; ++c) {
    const std::string col(1, static_cast<char>('A' + c));
    const std::string last = col + std::to_string(rows + 3);
    calls.push_back(sheet + ".Range(" + col + "4, " + last + ")");
    calls.push_back(sheet + "!" + col + "4:" + last + "." + put + " = " + types[c] + "[" + std::to_string(rows) +
                    "x1 from 0,0]");
  }
  return calls;
}

TEST_F(ExcelExport, FastCaptureGoesIntoANewSheetBehindTheLast) {
  ASSERT_TRUE(StartExcel(3));
  pel::sim::SimExcelState& excel = excel_->State();
  ExportSource s = MakeSource({{1.5f, 0, -0.25f}, {2.5f, 0, 0.75f}, {3.5f, 0, 1.0f}}, 3, 0, 7);
  s.fastInterval = 0.0001f;
  s.slowInterval = 5.0f;
  FakeUi ui;
  EXPECT_EQ(WriteWorksheet(s, FakeTexts{}, ui), ExcelExportResult::Done);
  EXPECT_TRUE(ui.messages.empty());
  EXPECT_EQ(excel.calls, Sequence("Sheet4", "Value(omitted)", 3));
  ASSERT_EQ(excel.sheets.size(), 4u);
  EXPECT_EQ(excel.sheets.back().name, L"Sheet4");

  const wchar_t* row1[5] = {L"", L"", L"CH [A]", L"CH [B]", L"CH [C]"};
  for (int c = 0; c < 5; ++c) ExpectText(L"Sheet4", 1, c + 1, row1[c]);
  ExpectText(L"Sheet4", 2, 1, L"Title");
  for (int c = 2; c <= 5; ++c) ExpectText(L"Sheet4", 2, c, L"");
  ExpectText(L"Sheet4", 3, 1, L"No.");
  ExpectText(L"Sheet4", 3, 2, L"Time(s)");
  ExpectText(L"Sheet4", 3, 3, L"V");
  EXPECT_TRUE(Cell(L"Sheet4", 3, 4).nullText);  // unit cell of B left unset
  ExpectText(L"Sheet4", 3, 5, L"N");

  // The first time cell is the interval plus 1e-9 in single precision (shows as 0.000100001).
  const float first = static_cast<float>(static_cast<double>(0.0001f) + 1e-9);
  EXPECT_GT(first, 0.0001f);
  EXPECT_NEAR(first, 0.000100001, 1e-11);  // within one float step
  const float times[3] = {first, 2 * 0.0001f, 3 * 0.0001f};
  const float a[3] = {1.5f, 2.5f, 3.5f}, c[3] = {-0.25f, 0.75f, 1.0f};
  for (int j = 0; j < 3; ++j) {
    EXPECT_EQ(Cell(L"Sheet4", 4 + j, 1).vt, VT_I4);
    EXPECT_EQ(Cell(L"Sheet4", 4 + j, 1).i4, j + 1);
    EXPECT_EQ(Cell(L"Sheet4", 4 + j, 2).vt, VT_R4);
    EXPECT_EQ(Cell(L"Sheet4", 4 + j, 2).r4, times[j]) << j;
    EXPECT_EQ(Cell(L"Sheet4", 4 + j, 3).r4, a[j]);
    ExpectText(L"Sheet4", 4 + j, 4, L"");
    EXPECT_EQ(Cell(L"Sheet4", 4 + j, 5).r4, c[j]);
  }
  EXPECT_FALSE(excel.Sheet(L"Sheet4")->cells.count({7, 1}));
}

TEST_F(ExcelExport, SlowCaptureThroughValue2) {
  ASSERT_TRUE(StartExcel(3));
  pel::sim::SimExcelState& excel = excel_->State();
  ExportSource s = MakeSource({{1, 0, 2}, {3, 0, 4}}, 3, 0, 7);
  s.slowInterval = 0.5f;
  s.useValue2 = true;
  FakeUi ui;
  EXPECT_EQ(WriteWorksheet(s, FakeTexts{}, ui), ExcelExportResult::Done);
  EXPECT_EQ(excel.calls, Sequence("Sheet4", "Value2", 2));
  EXPECT_EQ(Cell(L"Sheet4", 4, 2).r4, 0.5f + 1e-9f);
  EXPECT_EQ(Cell(L"Sheet4", 5, 2).r4, 1.0f);
  EXPECT_EQ(Cell(L"Sheet4", 5, 5).r4, 4.0f);
}

// Level rows are exported as stored, all of them.
TEST_F(ExcelExport, LevelCaptureSendsItsRows) {
  ASSERT_TRUE(StartExcel(3));
  pel::sim::SimExcelState& excel = excel_->State();
  ExportSource s = MakeSource({{0.0005f, 0, 0}, {0.0012f, 0, 0}, {0.002f, 0, 0}, {0.0031f, 0, 0}}, 3, 0, 7);
  s.fastInterval = 0.0001f;
  s.levelRows = true;
  FakeUi ui;
  EXPECT_EQ(WriteWorksheet(s, FakeTexts{}, ui), ExcelExportResult::Done);
  EXPECT_EQ(excel.calls, Sequence("Sheet4", "Value(omitted)", 4));
  EXPECT_EQ(Cell(L"Sheet4", 7, 1).i4, 4);
  EXPECT_EQ(Cell(L"Sheet4", 7, 3).r4, 0.0031f);
}

TEST_F(ExcelExport, NoRowsWritesTheHeaderOnly) {
  ASSERT_TRUE(StartExcel(3));
  pel::sim::SimExcelState& excel = excel_->State();
  ExportSource s = MakeSource({}, 3, 0, 7);
  s.levelRows = true;
  FakeUi ui;
  EXPECT_EQ(WriteWorksheet(s, FakeTexts{}, ui), ExcelExportResult::Done);
  EXPECT_EQ(excel.calls, Sequence("Sheet4", "Value(omitted)", 0));
  ExpectText(L"Sheet4", 3, 3, L"V");
}

TEST_F(ExcelExport, RefusedCallShowsItsTextAndKeepsEarlierCells) {
  ASSERT_TRUE(StartExcel(3));
  pel::sim::SimExcelState& excel = excel_->State();
  excel.failOn = "Sheet4.Range(C4";
  excel.failText = L"The range is locked.";
  ExportSource s = MakeSource({{1, 0, 2}}, 3, 0, 7);
  s.fastInterval = 0.0001f;
  FakeUi ui;
  EXPECT_EQ(WriteWorksheet(s, FakeTexts{}, ui), ExcelExportResult::Failed);
  EXPECT_EQ(ui.messages, (std::vector<std::string>{"The range is locked."}));
  ASSERT_FALSE(excel.calls.empty());
  EXPECT_EQ(excel.calls.back(), "Sheet4.Range(C4, C4) FAILED");
  ExpectText(L"Sheet4", 1, 3, L"CH [A]");
  EXPECT_EQ(Cell(L"Sheet4", 4, 1).i4, 1);
  EXPECT_EQ(Cell(L"Sheet4", 4, 3).vt, VT_EMPTY);
}

TEST_F(ExcelExport, NoRunningSpreadsheetEndsSilently) {
  FakeUi ui;
  ExportSource s = MakeSource({{1, 0, 2}}, 3, 0, 7);
  EXPECT_EQ(WriteWorksheet(s, FakeTexts{}, ui), ExcelExportResult::NoSpreadsheet);
  progId_.reset();  // not even registered
  EXPECT_EQ(WriteWorksheet(s, FakeTexts{}, ui), ExcelExportResult::NoSpreadsheet);
  EXPECT_TRUE(ui.messages.empty());
}

// The download is not lost: the user hears of it and may save it to a file.
TEST_F(ExcelExport, DownloadWithoutSpreadsheetOffersTheFile) {
  char dir[MAX_PATH];
  GetTempPathA(MAX_PATH, dir);
  const std::string path = std::string(dir) + "quillon-no-excel.csv";
  DeleteFileA(path.c_str());
  FakeUi ui;
  ui.saveAnswers.push_back(path);
  ExportSource s = MakeSource({{1, 0, 2}}, 3, 0, 7);
  s.slowInterval = 1.0f;
  ExportDownload(s, true, FakeTexts{}, ui);
  EXPECT_EQ(ui.messages, (std::vector<std::string>{kNoSpreadsheetText, "<QuillonDlg12>"}));
  EXPECT_EQ(ui.saveAsked, 1);
  std::ifstream in(path, std::ios::binary);
  EXPECT_TRUE(in.good());
  in.close();
  DeleteFileA(path.c_str());

  // With the spreadsheet running nothing asks for a file.
  ASSERT_TRUE(StartExcel(1));
  pel::sim::SimExcelState& excel = excel_->State();
  ui = FakeUi{};
  ExportDownload(s, true, FakeTexts{}, ui);
  EXPECT_EQ(ui.saveAsked, 0);
  EXPECT_TRUE(ui.messages.empty());
  EXPECT_EQ(excel.sheets.size(), 2u);
}

TEST_F(ExcelExport, EmptyDownloadWithoutSpreadsheetSaysNothing) {
  FakeUi ui;
  ExportDownload(MakeSource({}, 3, 0, 0), true, FakeTexts{}, ui);
  EXPECT_EQ(ui.saveAsked, 0);
  EXPECT_TRUE(ui.messages.empty());
}

}  // namespace
}  // namespace quillon
