#include "highspeed/AcquisitionDlg.h"

#include <commctrl.h>

#include "highspeed/AboutDlg.h"
#include "highspeed/AcquisitionApp.h"
#include "highspeed/ProbeReply.h"

namespace quillon {

namespace {

const char* const kCaptionKeys[13] = {"DialogTitle",    "GroupCaption1",   "GroupCaption2",  "StaticCaption1",
                                      "StaticCaption2", "StaticCaption3",  "CheckCaption1",  "ButtonCaption1",
                                      "ButtonCaption1-1", "ButtonCaption2", "ButtonCaption3", "ButtonCaption4",
                                      "ButtonCaption5"};
enum { kTitle, kGroup1, kGroup2, kStatic1, kStatic2, kStatic3, kCheck1, kButton1, kButton1Running, kButton2,
       kButton3, kButton4, kButton5 };

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
    if (r != ERROR_SUCCESS) continue;
    if (type != REG_SZ) continue;
    data[dataLen] = 0;
    last = reinterpret_cast<const char*>(data);
  }
  RegCloseKey(key);
  return last;
}

CAcquisitionDlg::CAcquisitionDlg() : ui::Dialog(IDD_ACQUISITION, nullptr) {
  icon_ = LoadIconA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDR_MAINFRAME));
  OnClicked(IDC_EXIT, [this] { OnBnClickedExit(); });
}

CAcquisitionDlg::~CAcquisitionDlg() = default;

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
  m_portName = LastSerialCommPort();
  ProbePort();
  if (m_modelName.size() < 10) {
    for (int id : {IDC_EXPERIMENT, IDC_LOADING, IDC_DELETE, IDC_CLEAR}) EnableItem(id, false);
  }
  return TRUE;
}

void CAcquisitionDlg::Send(const std::string& command) {
  if (port_) port_->Write(command);
}

bool CAcquisitionDlg::TakePort() {
  Sleep(300);
  port_->PurgeRx();
  Send("S{10,3}");
  return true;
}

void CAcquisitionDlg::ProbePort() {
  if (!m_portName.empty()) {
    if (port_->Open(m_portName, 115200)) {
      Sleep(1000);
      TakePort();
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
    Send("S{10,3}");
    if (WaitForReply(500) == 0) {
      TakePort();
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
        const int x = (rc.right - GetSystemMetrics(SM_CXICON) + 1) / 2;
        const int y = (rc.bottom - GetSystemMetrics(SM_CYICON) + 1) / 2;
        DrawIcon(dc, x, y, icon_);
        EndPaint(Hwnd(), &ps);
        result = TRUE;
        return true;
      }
      return false;
    default:
      return false;
  }
}

void CAcquisitionDlg::OnBnClickedExit() {
  if (port_) port_->Close();  // safe when the port never opened
  port_.reset();
  com_.reset();
  EndDialog(IDOK);
}

}  // namespace quillon
