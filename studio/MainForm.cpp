#include "studio/MainForm.h"

#include <commctrl.h>

#include <stdexcept>

#include "platform/MessageLoop.h"
#include "studio/CentredLabel.h"
#include "studio/Clipboard.h"
#include "studio/FormIds.h"
#include "studio/StudioRegistry.h"
#include "studio/core/StudioText.h"

namespace tessaly {

namespace {
constexpr char kFormClass[] = "TSDIAppForm";
constexpr char kPanelClass[] = "TessalyPanel";
constexpr UINT kActivateLate = WM_APP + 1;  // set-up when no activation came
constexpr int kClientW = 728, kClientH = 453;

bool registerClasses(HINSTANCE inst, WNDPROC form, WNDPROC panel) {
  WNDCLASSA c{};
  c.hInstance = inst;
  c.hCursor = LoadCursor(nullptr, IDC_ARROW);
  c.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  c.lpfnWndProc = form;
  c.lpszClassName = kFormClass;
  if (!RegisterClassA(&c) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS) return false;
  c.lpfnWndProc = panel;
  c.lpszClassName = kPanelClass;
  if (!RegisterClassA(&c) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS) return false;
  return RegisterCentredLabel(inst);
}

void show(HWND w, bool on) { ShowWindow(w, on ? SW_SHOW : SW_HIDE); }
}  // namespace

TSDIAppForm::TSDIAppForm() = default;

TSDIAppForm::~TSDIAppForm() {
  timer_.reset();
  // FormClose: the link closes before it goes with the form.
  if (link_) {
    try {
      if (link_->PelmoraConnected()) link_->CloseComm();
    } catch (...) {
    }
    link_->DataReceived(nullptr);
    link_->StartExperiment(nullptr);
    link_->StopExperiment(nullptr);
  }
  model_.reset();
  adapter_.reset();
  link_.reset();
  chart_.reset();
  if (hwnd_) DestroyWindow(hwnd_);
  if (font_) DeleteObject(font_);
}

bool TSDIAppForm::Create(HINSTANCE inst) {
  if (!registerClasses(inst, FormProc, PanelProc)) return false;
  RECT r{0, 0, kClientW, kClientH};
  const DWORD style = WS_POPUP | WS_CLIPCHILDREN;
  AdjustWindowRectEx(&r, style, FALSE, 0);
  const int w = r.right - r.left, h = r.bottom - r.top;
  const int x = (GetSystemMetrics(SM_CXSCREEN) - w) / 2, y = (GetSystemMetrics(SM_CYSCREEN) - h) / 2;
  hwnd_ = CreateWindowExA(0, kFormClass, "Tessaly", style, x, y, w, h, nullptr, nullptr, inst, this);
  if (!hwnd_) return false;
  font_ = CreateFontA(-13, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                      CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH, "System");
  BuildControls();
  ShowWindow(hwnd_, SW_SHOW);
  SetForegroundWindow(hwnd_);
  UpdateWindow(hwnd_);
  PostMessageA(hwnd_, kActivateLate, 0, 0);
  return true;
}

HWND TSDIAppForm::Child(HWND parent, const char* cls, const char* text, DWORD style, int x, int y, int w, int h,
                        int id, DWORD exStyle) {
  HWND c = CreateWindowExA(exStyle, cls, text, WS_CHILD | style, x, y, w, h, parent,
                           reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleA(nullptr), nullptr);
  if (c && font_) SendMessageA(c, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
  return c;
}

void TSDIAppForm::BuildControls() {
  INITCOMMONCONTROLSEX icc{sizeof icc, ICC_BAR_CLASSES};
  InitCommonControlsEx(&icc);
  const DWORD vis = WS_VISIBLE;
  // Panel1 and Start wait, hidden and disabled, for the set-up on activation.
  panel1_ = Child(hwnd_, kPanelClass, "", WS_DISABLED | WS_CLIPSIBLINGS, 4, 4, 160, 404, ids::Panel1);
  label4_ = Child(panel1_, kCentredLabelClass, "", vis, 31, 2, 127, 24, ids::Label4);
  check_ = Child(panel1_, "BUTTON", "", vis | WS_TABSTOP | BS_AUTOCHECKBOX, 8, 8, 17, 17, ids::CheckBox1);
  group_ = Child(panel1_, kPanelClass, "", vis, 8, 21, 142, 350, ids::GroupBox1);
  Child(group_, "BUTTON", "", vis | BS_GROUPBOX, 0, 0, 142, 350, -1);
  const int editTops[8] = {10, 50, 90, 130, 170, 214, 258, 302};
  const int buttonTops[8] = {29, 69, 109, 149, 193, 237, 281, 326};
  const int labelTops[8] = {13, 54, 94, 134, 173, 217, 261, 305};
  for (int k = 0; k < 8; ++k) {
    const auto i = static_cast<std::size_t>(k);
    edits_[i] = Child(group_, "EDIT", "", vis | ES_READONLY | ES_AUTOHSCROLL, 4, editTops[k], 87, 24, ids::Edit[k],
                      WS_EX_CLIENTEDGE | WS_EX_RTLREADING);
    captures_[i] = Child(group_, "BUTTON", "", vis | WS_TABSTOP | BS_PUSHBUTTON, 18, buttonTops[k], 118, 20,
                         ids::CaptureButton[k]);
    units_[i] = Child(group_, "STATIC", "", vis | SS_LEFT, 92, labelTops[k], 44, 16, ids::UnitLabel[k]);
  }
  button4_ = Child(panel1_, "BUTTON", "", vis | WS_DISABLED | WS_TABSTOP | BS_PUSHBUTTON, 8, 373, 142, 28,
                   ids::Button4);
  panel2_ = Child(hwnd_, kPanelClass, "", vis | WS_CLIPCHILDREN, 167, 4, 556, 430, ids::Panel2);
  chart_ = MakeFormChart(panel2_, ids::PESGraph1, 0, 2, 553, 424);
  button5_ = Child(hwnd_, "BUTTON", "", vis | WS_TABSTOP | BS_PUSHBUTTON, 4, 410, 162, 24, ids::Button5);
  status_ = Child(hwnd_, STATUSCLASSNAMEA, "", vis, 0, kClientH - 19, kClientW, 19, ids::StatusBar1);
  // Panels of 120, 450 and 50 pixels; the bar stays empty after the third.
  int edges[3] = {120, 570, 620};
  SendMessageA(status_, SB_SETPARTS, 3, reinterpret_cast<LPARAM>(edges));
  SendMessageA(status_, SB_SETTEXTA, 2, reinterpret_cast<LPARAM>(" Ver 1.2"));
  shownStatus_[2] = " Ver 1.2";
}

std::string TSDIAppForm::Text(const texts::Text& t) const { return reg::DialogText(formLanguage_, t); }

// ---- activation ----

void TSDIAppForm::FormActivate() {
  if (activated_) return;
  activated_ = true;
  try {
    link_ = TPelmora::Create(hwnd_, LinkFlavour::Studio(), TPelmora::DefaultEnvironment());
  } catch (const std::exception& e) {
    OnlyEndLeft(e);  // a language id that is no number fails here first
    return;
  }
  adapter_ = std::make_unique<LinkAdapter>(link_);
  StudioSettings s;
  s.text = [this](const texts::Text& t) { return Text(t); };
  s.bpmLevelText = [] { return reg::GetMessage(reg::kExperimentKey, "BPM_Level"); };
  s.bkgSensorList = [] { return reg::GetMessage(reg::kMessageKey, "BKGSensor"); };
  s.decimal = reg::UserDecimal();
  model_ = std::make_unique<StudioModel>(*adapter_, *this, chart_->Surface(), s);

  try {
    formLanguage_ = reg::GetLanguageID();
  } catch (const std::exception& e) {
    OnlyEndLeft(e);
    return;
  }
  SetWindowTextA(label4_, Text(texts::Recording).c_str());
  for (int k = 0; k < 8; ++k) {
    SetWindowTextA(edits_[static_cast<std::size_t>(k)], "");
    SetWindowTextA(units_[static_cast<std::size_t>(k)], "");
    SetWindowTextA(captures_[static_cast<std::size_t>(k)], Text(texts::Input).c_str());
  }
  SetWindowTextA(button4_, Text(texts::Start).c_str());
  SetWindowTextA(button5_, Text(texts::End).c_str());
  SetStatus(0, "");
  SetStatus(1, "");

  SendMessageA(check_, BM_SETCHECK, BST_CHECKED, 0);
  model_->Reset();  // graph reset, time mode
  show(panel1_, false);
  EnableWindow(panel1_, FALSE);

  pel::pumpMessages();
  try {
    link_->InitializeComm();
  } catch (...) {
  }
  EnableWindow(button4_, FALSE);
  if (link_->PelmoraConnected()) SetUpConnected();
  show(panel1_, true);
}

void TSDIAppForm::OnlyEndLeft(const std::exception& e) {
  // The set-up stops before the captions are set: End gets its own, in the
  // language the form starts with, so that the one way out reads as such.
  SetWindowTextA(button5_, Text(texts::End).c_str());
  MessageBoxA(hwnd_, e.what(), "Tessaly", MB_OK | MB_ICONERROR);
}

void TSDIAppForm::SetUpConnected() {
  SetStatus(1, "Connecting to EXCEL...");
  SetStatus(1, "");
  // End here does not stop the set-up: the program ends when the message
  // loop next runs, and an End that failed leaves a working window.
  try {
    const std::string config = Trim(reg::GetMessage(reg::kInterfaceKey, "ExcelToTessaly"));
    if (config.empty())
      Button5Click();
    else
      model_->ReadFromExcel(config);
    model_->ReadFastRecordLimit(reg::GetMessage(reg::kInterfaceKey, "Qor3"));
  } catch (...) {
    Button5Click();
  }
  try {
    model_->FinishSetup();
  } catch (const std::exception& e) {
    MessageBoxA(hwnd_, e.what(), "Tessaly", MB_OK | MB_ICONERROR);
    return;
  }
  link_->DataReceived([this](TPelmora&, const std::wstring& d) {
    std::string s;
    s.reserve(d.size());
    for (wchar_t c : d) s += c < 0x100 ? static_cast<char>(c) : '?';
    model_->DataLine(s);
  });
  link_->StartExperiment([this](TPelmora&) { model_->Started(); });
  link_->StopExperiment([this](TPelmora&) { model_->Stopped(); });
  timer_ = std::make_unique<pel::Timer>(model_->TimerInterval(), [this] {
    // A tick that fails draws nothing; the next one tries again (a box
    // here would come back every tick).
    try {
      model_->TimerTick();
    } catch (...) {
    }
  });
  timer_->setEnabled(true);
  EnableWindow(panel1_, TRUE);
  EnableWindow(button4_, TRUE);
}

// ---- buttons ----

void TSDIAppForm::Command(int id) {
  if (id == ids::Button5) {
    Button5Click();
    return;
  }
  if (!model_) return;
  if (id == ids::Button4) {
    model_->StartStop();
  } else if (id == ids::CheckBox1) {
    model_->ModeSwitch(SendMessageA(check_, BM_GETCHECK, 0, 0) == BST_CHECKED);
  } else {
    for (int k = 0; k < 8; ++k)
      if (id == ids::CaptureButton[k]) model_->Capture(k);
  }
}

void TSDIAppForm::Button5Click() {
  mayClose_ = true;
  if (!SaveArrayToExcel()) return;
  reg::SetMessage(reg::kInterfaceKey, "ExcelToTessalyRunFlag", "0");
  PostQuitMessage(0);
}

bool TSDIAppForm::SaveArrayToExcel() {
  const std::string text = model_ ? model_->HandBackText() : std::string();
  const int count = model_ ? model_->RecordCount() : 0;
  try {
    Clipboard clip(hwnd_);
    clip.Clear();
    for (int r = 1; r <= count; ++r) {
      // The counter follows the rows; repainting each one would cost more
      // than the copy.
      if (r % 256 == 0 || r == count) {
        SetStatus(0, "[ " + std::to_string(r) + " / " + std::to_string(count) + " ]");
        UpdateWindow(status_);
      }
    }
    if (!text.empty()) clip.SetText(text);
  } catch (const std::exception& e) {
    MessageBoxA(hwnd_, e.what(), "Tessaly", MB_OK | MB_ICONERROR);
    return false;
  }
  return true;
}

// ---- StudioView ----

void TSDIAppForm::SetUnitLabel(int k, const std::string& t) { SetWindowTextA(units_[static_cast<std::size_t>(k)], t.c_str()); }
// A box or panel is redrawn only when its text changes.
void TSDIAppForm::SetValueText(int k, const std::string& t) {
  std::string& shown = shownValues_[static_cast<std::size_t>(k)];
  if (shown == t) return;
  shown = t;
  SetWindowTextA(edits_[static_cast<std::size_t>(k)], t.c_str());
}

void TSDIAppForm::MarkCaptured(int k, bool c) {
  auto i = static_cast<std::size_t>(k);
  if (marked_[i] == c) return;
  marked_[i] = c;
  InvalidateRect(edits_[i], nullptr, TRUE);
}

void TSDIAppForm::SetStatus(int panel, const std::string& t) {
  if (panel >= 0 && panel < 3) {
    std::string& shown = shownStatus_[static_cast<std::size_t>(panel)];
    if (shown == t) return;
    shown = t;
  }
  SendMessageA(status_, SB_SETTEXTA, static_cast<WPARAM>(panel), reinterpret_cast<LPARAM>(t.c_str()));
}

void TSDIAppForm::HideModeCheckBox() { show(check_, false); }

void TSDIAppForm::ShowEightPorts(bool shown) {
  for (std::size_t k = 4; k < 8; ++k) {
    show(edits_[k], shown);
    show(units_[k], shown);
    if (!shown) show(captures_[k], false);
  }
}

void TSDIAppForm::SetCaptureButtons(const bool (&visible)[8], bool enabled) {
  for (std::size_t k = 0; k < 8; ++k) {
    captureVisible_[k] = visible[k];
    show(captures_[k], visible[k]);
    EnableWindow(captures_[k], enabled && visible[k]);
  }
}

void TSDIAppForm::EnableCaptureButtons(bool enabled) {
  for (std::size_t k = 0; k < 8; ++k) EnableWindow(captures_[k], enabled && captureVisible_[k]);
}

void TSDIAppForm::EnableChannelGroup(bool e) { EnableWindow(group_, e); }
void TSDIAppForm::EnableModeCheckBox(bool e) { EnableWindow(check_, e); }

void TSDIAppForm::SetRunning(bool running) {
  SetWindowTextA(button4_, Text(running ? texts::Stop : texts::Start).c_str());
  EnableWindow(button5_, !running);
}

bool TSDIAppForm::AskEraseKept() {
  return MessageBoxA(nullptr, Text(texts::EraseAfterStart).c_str(), "Tessaly", MB_ICONQUESTION | MB_YESNO) == IDYES;
}

// ---- messages ----

LRESULT CALLBACK TSDIAppForm::FormProc(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_NCCREATE) {
    auto* cs = reinterpret_cast<CREATESTRUCTA*>(lp);
    SetWindowLongPtrA(w, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(cs->lpCreateParams));
    static_cast<TSDIAppForm*>(cs->lpCreateParams)->hwnd_ = w;
  }
  auto* f = reinterpret_cast<TSDIAppForm*>(GetWindowLongPtrA(w, GWLP_USERDATA));
  if (!f) return DefWindowProcA(w, msg, wp, lp);
  // An exception must not unwind through the system's message dispatch:
  // the failure is shown and the window goes on.
  try {
    return f->Handle(msg, wp, lp);
  } catch (const std::exception& e) {
    f->ShowError(e.what());
  } catch (...) {
    f->ShowError("unexpected error");
  }
  return 0;
}

void TSDIAppForm::ShowError(const char* text) { MessageBoxA(hwnd_, text, "Tessaly", MB_OK | MB_ICONERROR); }

// Panels hand their children's notifications to the form.
LRESULT CALLBACK TSDIAppForm::PanelProc(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_COMMAND:
    case WM_NOTIFY:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORBTN:
      return SendMessageA(GetAncestor(w, GA_ROOT), msg, wp, lp);
    default:
      return DefWindowProcA(w, msg, wp, lp);
  }
}

LRESULT TSDIAppForm::Handle(UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_ACTIVATE:
      if (LOWORD(wp) != WA_INACTIVE) PostMessageA(hwnd_, kActivateLate, 0, 0);
      break;
    case kActivateLate:
      FormActivate();
      return 0;
    case WM_COMMAND:
      if (HIWORD(wp) == BN_CLICKED) Command(LOWORD(wp));
      return 0;
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLOREDIT: {
      HWND c = reinterpret_cast<HWND>(lp);
      for (std::size_t k = 0; k < 8; ++k)
        if (c == edits_[k]) {
          HDC dc = reinterpret_cast<HDC>(wp);
          SetTextColor(dc, marked_[k] ? RGB(0, 0, 255) : GetSysColor(COLOR_WINDOWTEXT));
          SetBkColor(dc, GetSysColor(COLOR_WINDOW));
          return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_WINDOW));
        }
      break;
    }
    case WM_CLOSE:
      // FormCloseQuery: only End closes the window.
      if (mayClose_) PostQuitMessage(0);
      return 0;
    case WM_DESTROY:
      hwnd_ = nullptr;
      return 0;
    default:
      break;
  }
  return DefWindowProcA(hwnd_, msg, wp, lp);
}

}  // namespace tessaly
