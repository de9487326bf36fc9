#include "highspeed/AcquisitionDlg.h"

#include <commctrl.h>

#include <chrono>
#include <cstdio>

#include "highspeed/AboutDlg.h"
#include "highspeed/AcquisitionApp.h"
#include "highspeed/ProbeReply.h"
#include "highspeed/ui/NumberText.h"

namespace quillon {

namespace {

const char* const kCaptionKeys[13] = {"DialogTitle",    "GroupCaption1",   "GroupCaption2",  "StaticCaption1",
                                      "StaticCaption2", "StaticCaption3",  "CheckCaption1",  "ButtonCaption1",
                                      "ButtonCaption1-1", "ButtonCaption2", "ButtonCaption3", "ButtonCaption4",
                                      "ButtonCaption5"};
enum { kTitle, kGroup1, kGroup2, kStatic1, kStatic2, kStatic3, kCheck1, kButton1, kButton1Running, kButton2,
       kButton3, kButton4, kButton5 };

long long NowMs() {
  using namespace std::chrono;
  return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

std::string Format(const char* fmt, int v) {
  char buf[32];
  std::snprintf(buf, sizeof buf, fmt, v);
  return buf;
}

std::string FormatSeconds(double v) {
  char buf[48];
  std::snprintf(buf, sizeof buf, "%7.4fs", v);
  return buf;
}

void SetCell(HWND list, int row, int col, const std::string& text) {
  LVITEMA item{};
  item.iSubItem = col;
  item.pszText = const_cast<char*>(text.c_str());
  SendMessageA(list, LVM_SETITEMTEXTA, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
}

int InsertRow(HWND list, int row, const std::string& first) {
  LVITEMA item{};
  item.mask = LVIF_TEXT;
  item.iItem = row;
  item.pszText = const_cast<char*>(first.c_str());
  return static_cast<int>(SendMessageA(list, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item)));
}

}  // namespace

std::string LastSerialCommPort() {
  HKEY key = nullptr;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, "HARDWARE\\DEVICEMAP\\SERIALCOMM\\", 0, KEY_READ, &key) != ERROR_SUCCESS)
    return {};
  std::string last;
  for (DWORD i = 0;; ++i) {
    char name[1024];
    BYTE data[1025];
    DWORD nameLen = sizeof name, dataLen = sizeof data - 1, type = 0;
    const LONG r = RegEnumValueA(key, i, name, &nameLen, nullptr, &type, data, &dataLen);
    if (r == ERROR_NO_MORE_ITEMS) break;
    if (r != ERROR_SUCCESS || type != REG_SZ) continue;
    data[dataLen] = 0;
    last = reinterpret_cast<const char*>(data);
  }
  RegCloseKey(key);
  return last;
}

CAcquisitionDlg::CAcquisitionDlg() : ui::Dialog(IDD_ACQUISITION, nullptr) {
  icon_ = LoadIconA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDR_MAINFRAME));
  model_.SetExportToExcel(ReadRegString("Software\\VB and VBA Program Settings\\Pelmora\\Quillset", "LoadOption") ==
                          "TRUE");
  OnClicked(IDC_EXIT, [this] { OnBnClickedExit(); });
  OnClicked(IDC_EXPERIMENT, [this] { OnBnClickedExperiment(); });
  OnClicked(IDC_LOADING, [this] { OnBnClickedLoading(); });
  OnClicked(IDC_DELETE, [this] { OnBnClickedDelete(); });
  OnClicked(IDC_CLEAR, [this] { OnBnClickedClear(); });
  OnClicked(IDC_LEVEL, [this] { OnBnClickedLevel(); });
  OnClicked(IDC_SAVE, [this] { OnBnClickedSave(); });
  OnNotify(IDC_BUFFER_LIST, NM_CLICK, [this](NMHDR*) { return OnNMClickBufferList(); });
}

CAcquisitionDlg::~CAcquisitionDlg() {
  // Exit normally ends both; this covers a dialog that ended some other way.
  if (port_) port_->Close();
  if (parseThread_.joinable()) parseThread_.join();
}

unsigned CAcquisitionDlg::Language() const { return TheApp().Language(); }

void CAcquisitionDlg::LoadCaptions() {
  for (int i = 0; i < 13; ++i) captions_[i] = TheApp().Text(kCaptionKeys[i], TextSection::MainDialog);
}

void CAcquisitionDlg::ApplyCaptions() {
  SetTitle(captions_[kTitle]);
  SetItemText(IDC_GROUP_SETUP, captions_[kGroup1]);
  SetItemText(IDC_GROUP_BUFFER, captions_[kGroup2]);
  SetItemText(IDC_LABEL_CHANNEL, captions_[kStatic1]);
  SetItemText(IDC_LABEL_INTERVAL, captions_[kStatic2]);
  SetItemText(IDC_LABEL_SEC, captions_[kStatic3]);
  SetItemText(IDC_LEVEL, captions_[kCheck1]);
  SetItemText(IDC_EXPERIMENT, captions_[kButton1]);
  SetItemText(IDC_LOADING, captions_[kButton2]);
  SetItemText(IDC_DELETE, captions_[kButton3]);
  SetItemText(IDC_CLEAR, captions_[kButton4]);
  SetItemText(IDC_EXIT, captions_[kButton5]);
}

BOOL CAcquisitionDlg::OnInitDialog() {
  float interval = model_.With([](AcquisitionState& s) { return s.m_interval; });
  ui::ExchangeFloat(Hwnd(), IDC_INTERVAL, interval, false);
  if (HMENU sys = GetSystemMenu(Hwnd(), FALSE)) {
    char text[128] = {};
    if (LoadStringA(GetModuleHandleA(nullptr), IDS_ABOUTBOX, text, sizeof text) > 0) {
      AppendMenuA(sys, MF_SEPARATOR, 0, nullptr);
      AppendMenuA(sys, MF_STRING, IDM_ABOUTBOX, text);
    }
  }
  SendMessageA(Hwnd(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon_));
  SendMessageA(Hwnd(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon_));
  LoadCaptions();
  ApplyCaptions();
  com_ = std::make_unique<ui::ComInit>();
  port_ = std::make_unique<CSerialPort>();
  for (int i = 0; i < 4; ++i)
    listTitles_[i] = TheApp().Text("ListTitle" + std::to_string(i + 1), TextSection::MainProcess);
  m_portName = LastSerialCommPort();
  ProbePort();

  HWND combo = Item(IDC_CHANNEL);
  for (const char* ch : {"CH [A]", "CH [B]", "CH [C]"})
    SendMessageA(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(ch));
  SendMessageA(combo, CB_SETCURSEL, 0, 0);
  interval = model_.With([](AcquisitionState& s) {
    s.m_interval = static_cast<float>(s.m_intervalCount) / 10000.0f;
    return s.m_interval;
  });
  ui::ExchangeFloat(Hwnd(), IDC_INTERVAL, interval, false);

  HWND list = Item(IDC_BUFFER_LIST);
  SendMessageA(list, LVM_SETEXTENDEDLISTVIEWSTYLE, 0, LVS_EX_FULLROWSELECT | LVS_EX_HEADERDRAGDROP);
  const std::string titles[7] = {listTitles_[0], listTitles_[1], listTitles_[2], "CH [A]",
                                 "CH [B]",       "CH [C]",       listTitles_[3]};
  const int widths[7] = {50, 50, 80, 80, 80, 80, 60};
  for (int i = 0; i < 7; ++i) {
    LVCOLUMNA col{};
    col.mask = LVCF_FMT | LVCF_WIDTH | LVCF_TEXT | LVCF_SUBITEM;
    col.fmt = LVCFMT_CENTER;
    col.cx = widths[i];
    col.pszText = const_cast<char*>(titles[i].c_str());
    col.iSubItem = i;
    SendMessageA(list, LVM_INSERTCOLUMNA, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&col));
  }
  SendMessageA(Item(IDC_PROGRESS), PBM_SETRANGE32, 0, 100);
  SetItemText(IDC_LEVEL_VALUE, "2.5");
  EnableItem(IDC_LEVEL_VALUE, false);
  ApplyControls();  // disabled until the interface has identified itself
  return TRUE;
}

bool CAcquisitionDlg::StartParseThread() {
  parseDone_.reset(CreateEventA(nullptr, TRUE, FALSE, nullptr));
  if (!parseDone_) return false;
  try {
    parseThread_ = std::thread(&CAcquisitionDlg::ReceiveThreadProc, this);
  } catch (const std::system_error&) {
    return false;
  }
  return true;
}

void CAcquisitionDlg::ProbePort() {
  auto take = [this] {
    if (!StartParseThread()) return;
    Sleep(300);
    port_->PurgeRx();
    Execute(model_.BeginIdentify());
  };
  if (!m_portName.empty()) {
    if (port_->Open(m_portName, 115200)) {
      Sleep(1000);
      take();
    }
    return;
  }
  for (int n = 3; n <= 16; ++n) {
    if (!port_->Open("COM" + std::to_string(n), 115200)) {
      port_->Close();
      Sleep(1000);
      continue;
    }
    Sleep(300);
    port_->PurgeRx();
    port_->Write(std::string("S{10,3}"));
    if (WaitForReply(500) == 0) {
      take();
      return;
    }
    port_->Close();
  }
}

int CAcquisitionDlg::WaitForReply(int ms) {
  ProbeReply reply;
  for (int pass = 0; pass < ms / 10; ++pass) {
    Sleep(10);
    while (port_->HasData()) reply.Add(port_->GetByte());
    if (reply.Complete()) return 0;
  }
  return 1;
}

void CAcquisitionDlg::ReceiveThreadProc() {
  while (port_->Running()) {
    Sleep(1);
    if (!port_->HasData()) {
      Execute(model_.OnIdle(NowMs()));
      continue;
    }
    while (port_->HasData()) Execute(model_.OnByte(port_->GetByte(), NowMs()));
  }
  SetEvent(parseDone_.get());
}

void CAcquisitionDlg::Execute(const Effects& fx) {
  for (const Effect& e : fx) {
    switch (e.kind) {
      case Effect::Send:
        if (port_) port_->Write(e.text);
        break;
      case Effect::Message:
        MessageBoxA(Hwnd(), TheApp().Text(e.text, TextSection::Message).c_str(), kAppCaption, MB_OK);
        break;
      case Effect::FixedMessage:
        MessageBoxA(Hwnd(), e.text.c_str(), kAppCaption, MB_OK);
        break;
      case Effect::Title:
        SetTitle(captions_[kTitle] + e.text);
        break;
      case Effect::Controls:
        ApplyControls();
        break;
      case Effect::FillBufferList: {
        std::lock_guard<std::mutex> lock(listLock_);
        FillBufferList();
        break;
      }
      case Effect::ClearList:
        SendMessageA(Item(IDC_BUFFER_LIST), LVM_DELETEALLITEMS, 0, 0);
        break;
      case Effect::ResetSelection:
        ResetSelection();
        break;
      case Effect::FillExperimentRow:
        FillExperimentRow();
        break;
      case Effect::LoadUnits:
        LoadChannelUnits(e.a, e.b, e.c, e.d);
        break;
      case Effect::ProgressRange:
        SendMessageA(Item(IDC_PROGRESS), PBM_SETRANGE32, static_cast<WPARAM>(e.a), static_cast<LPARAM>(e.b));
        break;
      case Effect::ProgressPos:
        SendMessageA(Item(IDC_PROGRESS), PBM_SETPOS, static_cast<WPARAM>(e.a), 0);
        break;
      case Effect::ProgressShow:
        ShowWindow(Item(IDC_PROGRESS), e.a ? SW_SHOW : SW_HIDE);
        break;
      case Effect::Export:
        if (e.a)
          ExportToExcel(e.b);
        else
          OnBnClickedSave();
        break;
      case Effect::Sleep:
        Sleep(static_cast<DWORD>(e.a));
        break;
    }
  }
}

void CAcquisitionDlg::ApplyControls() {
  const ControlState c = model_.Controls();
  EnableItem(IDC_EXPERIMENT, c.experimentEnabled);
  SetItemText(IDC_EXPERIMENT, captions_[c.running ? kButton1Running : kButton1]);
  for (int id : {IDC_LOADING, IDC_DELETE, IDC_CLEAR}) EnableItem(id, c.othersEnabled);
}

void CAcquisitionDlg::OnBnClickedExperiment() {
  float interval = model_.With([](AcquisitionState& s) { return s.m_interval; });
  const bool running = model_.Controls().running;
  float level = 2.5f;
  bool levelMode = false;
  if (!running) {
    ui::ExchangeFloat(Hwnd(), IDC_INTERVAL, interval, true);  // bad text keeps the value
    std::string levelText = ItemText(IDC_LEVEL_VALUE).substr(0, 14);
    levelMode = SendMessageA(Item(IDC_LEVEL), BM_GETCHECK, 0, 0) == BST_CHECKED;
    level = model_.With([](AcquisitionState& s) { return s.m_level; });
    if (levelMode) ui::ParseFloat(levelText, level);
  }
  const int channel = static_cast<int>(SendMessageA(Item(IDC_CHANNEL), CB_GETCURSEL, 0, 0)) + 1;
  Execute(model_.Experiment(channel < 1 ? 1 : channel, interval, levelMode, level));
  interval = model_.With([](AcquisitionState& s) { return s.m_interval; });
  ui::ExchangeFloat(Hwnd(), IDC_INTERVAL, interval, false);
}

void CAcquisitionDlg::OnBnClickedLoading() { Execute(model_.Loading(NowMs())); }
void CAcquisitionDlg::OnBnClickedDelete() { Execute(model_.Delete()); }
void CAcquisitionDlg::OnBnClickedClear() { Execute(model_.Clear()); }

void CAcquisitionDlg::OnBnClickedLevel() {
  const bool on = SendMessageA(Item(IDC_LEVEL), BM_GETCHECK, 0, 0) == BST_CHECKED;
  model_.SetLevelMode(on);
  EnableItem(IDC_LEVEL_VALUE, on);
}

LRESULT CAcquisitionDlg::OnNMClickBufferList() {
  const int row = static_cast<int>(SendMessageA(Item(IDC_BUFFER_LIST), LVM_GETNEXTITEM, static_cast<WPARAM>(-1),
                                                LVNI_SELECTED));
  if (row < 0 || !model_.SelectRow(row)) return 0;
  struct Sel { int row, buffer, start, end, a, b, c; };
  const Sel s = model_.With([](AcquisitionState& st) {
    return Sel{st.m_selRow, st.m_selBuffer, st.m_selStart, st.m_selEnd, st.m_sensorId[0], st.m_sensorId[1],
               st.m_sensorId[2]};
  });
  SetItemText(IDC_SEL_ROW, Format("%d", s.row));
  SetItemText(IDC_SEL_BUFFER, Format("%d", s.buffer));
  SetItemText(IDC_SEL_START, Format("%5d", s.start));
  SetItemText(IDC_SEL_END, Format("%5d", s.end));
  LoadChannelUnits(s.a, s.b, s.c, 0);
  return 0;
}

std::string CAcquisitionDlg::SensorUnit(int sensorId) const {
  if (sensorId == 0) return {};
  const std::string key =
      "Software\\VB and VBA Program Settings\\Pelmora\\Message\\" + std::to_string(Language()) + "\\SensorInfo";
  return ReadRegString(key, "Unit" + std::to_string(sensorId));
}

// Only the ids are kept: the list and the export read a unit text where they show it.
void CAcquisitionDlg::LoadChannelUnits(int a, int b, int c, int d) {
  const int ids[4] = {a, b, c, d};
  model_.With([&](AcquisitionState& s) {
    for (int i = 0; i < 4; ++i) s.m_sensorId[i] = ids[i];
    return 0;
  });
}

void CAcquisitionDlg::FillBufferList() {
  HWND list = Item(IDC_BUFFER_LIST);
  SendMessageA(list, LVM_DELETEALLITEMS, 0, 0);
  struct Rows { BufferInfo t[16]; int n; };
  const Rows rows = model_.With([](AcquisitionState& s) {
    Rows r{};
    r.n = s.m_bufferCount;
    for (int i = 0; i < r.n; ++i) r.t[i] = s.m_bufferTable[i];
    return r;
  });
  const std::string fast = TheApp().Text("ListMode1", TextSection::MainProcess);
  const std::string slow = TheApp().Text("ListMode2", TextSection::MainProcess);
  for (int i = 0; i < rows.n; ++i) {
    const BufferInfo& e = rows.t[i];
    const int row = InsertRow(list, i, Format("%02d", i + 1));
    SetCell(list, row, 1, e.fastInterval != 0 ? fast : slow);
    SetCell(list, row, 2,
            FormatSeconds(e.fastInterval != 0 ? e.fastInterval / 10000.0 : e.msInterval / 1000.0));
    for (int ch = 0; ch < 3; ++ch) SetCell(list, row, 3 + ch, SensorUnit(e.sensor[ch]));
    SetCell(list, row, 6, Format("%d", e.count));
  }
}

void CAcquisitionDlg::ResetSelection() {
  model_.With([](AcquisitionState& s) {
    s.m_selRow = s.m_selBuffer = s.m_selStart = s.m_selEnd = 0;
    return 0;
  });
  for (int id : {IDC_SEL_ROW, IDC_SEL_BUFFER, IDC_SEL_START, IDC_SEL_END}) SetItemText(id, "");
}

void CAcquisitionDlg::FillExperimentRow() {
  HWND list = Item(IDC_BUFFER_LIST);
  SendMessageA(list, LVM_DELETEALLITEMS, 0, 0);
  struct Exp { float fast; int a, b, c, blocks; };
  const Exp x = model_.With([](AcquisitionState& s) {
    return Exp{s.m_fastInterval, s.m_sensorId[0], s.m_sensorId[1], s.m_sensorId[2], s.m_blockCount};
  });
  const int row = InsertRow(list, 0, Format("%02d", 1));
  SetCell(list, row, 1, TheApp().Text("ListMode1", TextSection::MainProcess));
  SetCell(list, row, 2, FormatSeconds(x.fast));
  SetCell(list, row, 3, SensorUnit(x.a));
  SetCell(list, row, 4, SensorUnit(x.b));
  SetCell(list, row, 5, SensorUnit(x.c));
  SetCell(list, row, 6, Format("%d", x.blocks));
}

void CAcquisitionDlg::OnBnClickedSave() {
  const int rows = model_.With([](AcquisitionState& s) { return s.table.m_rowCount; });
  if (exportHandler_) exportHandler_(*this, false, rows);
}

void CAcquisitionDlg::ExportToExcel(int rowCount) {
  if (exportHandler_) exportHandler_(*this, true, rowCount);
}

bool CAcquisitionDlg::OnMessage(UINT msg, WPARAM wp, LPARAM, INT_PTR& result) {
  switch (msg) {
    case WM_SYSCOMMAND:
      if ((wp & 0xFFF0) == IDM_ABOUTBOX) {
        CAboutDlg about;
        about.DoModal();
        result = TRUE;
        return true;
      }
      return false;
    case WM_QUERYDRAGICON:
      SetWindowLongPtrA(Hwnd(), DWLP_MSGRESULT, reinterpret_cast<LONG_PTR>(icon_));
      result = TRUE;
      return true;
    case WM_PAINT:
      if (IsIconic(Hwnd())) {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(Hwnd(), &ps);
        RECT rc;
        GetClientRect(Hwnd(), &rc);
        DrawIcon(dc, (rc.right - GetSystemMetrics(SM_CXICON) + 1) / 2,
                 (rc.bottom - GetSystemMetrics(SM_CYICON) + 1) / 2, icon_);
        EndPaint(Hwnd(), &ps);
        result = TRUE;
        return true;
      }
      return false;
    default:
      return false;
  }
}

void CAcquisitionDlg::WaitParseThreadEnd() {
  if (!parseThread_.joinable()) return;
  // The parse thread updates controls synchronously: keep dispatching meanwhile.
  HANDLE done = parseDone_.get();
  while (MsgWaitForMultipleObjects(1, &done, FALSE, INFINITE, QS_ALLINPUT) == WAIT_OBJECT_0 + 1) {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessageA(&msg);
    }
  }
  parseThread_.join();
}

void CAcquisitionDlg::OnBnClickedExit() {
  if (port_ && port_->IsOpen()) {
    port_->Close();  // clears the run flag that keeps the parse thread going
    WaitParseThreadEnd();
  }
  port_.reset();
  com_.reset();
  EndDialog(IDOK);
}

}  // namespace quillon
