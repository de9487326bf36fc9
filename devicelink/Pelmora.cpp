// TPelmora: construction, destruction, its window, the model name, the COM
// port number setter, the error raiser and the event raisers.
#include "devicelink/Pelmora.h"

#include <algorithm>
#include <mutex>
#include <stdexcept>
#include <vector>

#include "devicelink/PelmoraUsb.h"
#include "platform/HandOver.h"
#include "platform/MessageLoop.h"
#include "platform/Registry.h"
#include "platform/Timer.h"

using namespace pel::link;

namespace {

constexpr UINT kWakeMessage = WM_USER + 1;
const char* const kClassName = "TPelmora";

// The process-wide wake hook: a worker that queued a hand-over posts the wake
// message to the window of a live component. Installed with the first
// component, restored when the last one goes, so one component's end never
// leaves the hook pointing at a dead window.
struct WakeWindows {
  std::mutex m;  // guards windows (the hook runs on worker threads)
  std::vector<HWND> windows;
  pel::HandOver::WakeHook previous;  // main thread only
};
WakeWindows& wake() {
  static WakeWindows w;
  return w;
}

void addWakeWindow(HWND h) {
  auto& w = wake();
  bool first;
  {
    std::lock_guard lock(w.m);
    first = w.windows.empty();
    w.windows.push_back(h);
  }
  if (first) {
    w.previous = pel::HandOver::instance().setWakeHook([] {
      auto& ww = wake();
      std::lock_guard lock(ww.m);
      if (!ww.windows.empty()) PostMessageA(ww.windows.back(), kWakeMessage, 0, 0);
    });
  }
}

void removeWakeWindow(HWND h) {
  auto& w = wake();
  bool last;
  {
    std::lock_guard lock(w.m);
    w.windows.erase(std::remove(w.windows.begin(), w.windows.end(), h), w.windows.end());
    last = w.windows.empty();
  }
  if (last) pel::HandOver::instance().setWakeHook(std::move(w.previous));
}

void registerClassOnce() {
  static const bool ok = [] {
    WNDCLASSA wc{};
    wc.style = CS_HREDRAW | CS_VREDRAW;
    wc.lpfnWndProc = DefWindowProcA;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
    wc.lpszClassName = kClassName;
    return RegisterClassA(&wc) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
  }();
  if (!ok) throw std::runtime_error("cannot register the TPelmora window class");
}

}  // namespace

std::shared_ptr<TPelmora> TPelmora::Create(HWND parent, LinkFlavour flavour, LinkEnvironment env,
                                           bool designing) {
  return std::shared_ptr<TPelmora>(new TPelmora(parent, flavour, std::move(env), designing), &TPelmora::Release);
}

void TPelmora::Release(TPelmora* p) {
  p->released_.store(true);
  p->WaitOutOffMainEvents();
  p->EndIfDue();
}

void TPelmora::WaitOutOffMainEvents() {
  if (!usb_) return;
  auto& watch = usb_->Watch();
  // Let go from inside that very event (on its thread, or in a hand-over it
  // waits for): it is the one in flight, and it cannot end before this does.
  if (watch.OnThisThread()) return;
  const auto& handOver = pel::HandOver::instance();
  if (handOver.onMainThread() && handOver.runningCallFrom(watch.Id())) return;
  // Bounded: a handler that never returns must not hang the host's release.
  pel::serviceWhile([this] { return OffMainEventInFlight(); }, kOffMainEventWait);
}

bool TPelmora::InOwnCallback() const {
  if (!pel::HandOver::instance().onMainThread() || inTick_) return true;
  if ((serial_ && serial_->InHandOver()) || (worker_ && worker_->InHandOver())) return true;
  // The USB polling thread may wait for the hand-over this thread runs.
  return usb_ && usb_->Watch().InPass();
}

void TPelmora::EndIfDue() {
  if (frames_.load() != 0 || !released_.load() || ending_.load()) return;
  if (InOwnCallback()) {
    if (!endPosted_.exchange(true)) PostMessageA(hwnd_, kEndMessage, 0, 0);
    return;
  }
  if (ending_.exchange(true)) return;
  delete this;
}

TPelmora::TPelmora(HWND parent, LinkFlavour flavour, LinkEnvironment env, bool designing)
    : RunSteps(flavour, std::move(env)) {
  if (!env_.makeSerial || !env_.makeWorker || !env_.host || !env_.usb)
    throw std::invalid_argument("incomplete link environment");
  pel::HandOver::instance().setMainThread();
  // 1. The window (owner and parent are the host's window when given).
  registerClassOnce();
  const DWORD style = (parent ? WS_CHILD | WS_CLIPSIBLINGS : WS_POPUP) | (designing ? WS_VISIBLE : 0);
  hwnd_ = CreateWindowExA(0, kClassName, "", style, 0, 0, 26, 26, parent, nullptr, GetModuleHandleA(nullptr),
                          nullptr);
  if (!hwnd_) throw std::runtime_error("cannot create the TPelmora window");
  SetWindowLongPtrA(hwnd_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  SetWindowLongPtrA(hwnd_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&TPelmora::WindowProc));

  auto& s = State();
  bool wakeAdded = false;  // a failed construction undoes only what it did
  try {
    // 2. Wow64 decides the USB path.
    s.usbTimeoutMs = 1000;
    bool wow = false;
    try {
      wow = env_.usb->IsWow64();
    } catch (...) {
    }
    s.useLibUsb = wow;
    if (wow) s.usbTimeoutMs = 100;
    // 3-4.
    F_.libUsbHandleCount = 0;
    F_.libUsbHandles.fill(-1);
    s.usbBusy = false;
    s.usbFoundCount = 0;
    // 5-10: the field defaults are those of Fields; the per-process ones here.
    s.pwmOptionStored = false;
    s.modelState = model::None;
    s.pinValue = {50, 50, 50};
    for (int i = 0; i < 8; ++i) {
      auto& c = s.sensors.ch[i];
      c.active = false;
      c.terminalSelection = false;
      c.sensorId = 0;
      c.lastLoadedId = 0;
      c.name.clear();
      s.sensorRange[i] = static_cast<unsigned char>(SensorRangeType::Full_Range);
    }
    // 11. Throws when the registry's id is not a number.
    LoadLanguageID();
    hooks_.autoSensorId = [](TPelmora& p) { p.IdentifySensorsAfterConnect(); };
    // 12-14.
    s.memoryCounter = s.scopeCounter = 0;
    s.digitalTimingOptions = {true, false, false};
    InstallRunHooks();
    InstallHighSpeedHooks();
    s.usbNewReading = false;
    // 16. The port component and the receive state.
    serial_ = std::shared_ptr<SerialLink>(env_.makeSerial());
    serial_->SetOnRxChar([this](std::size_t count) {
      Frame frame(*this);
      HandleSerialInput(count);
    });
    serial_->SetOnGone([this] {
      Frame frame(*this);
      if (!Released()) LinkLost();
    });
    s.receive.reset();
    addWakeWindow(hwnd_);
    wakeAdded = true;
    // 19. USB start-up; a library without devices leaves the component usable.
    try {
      if (s.useLibUsb)
        env_.usb->LibUsbInit();
      else
        env_.usb->UsbInit(s.usbTimeoutMs);
    } catch (...) {
    }
    // 20.
    for (auto& slot : s.usbSlots) slot = {};
    // 21. The USB sensor side and its polling thread (idle until a run).
    InstallUsbSensors();
    // 22. The TCP worker, running at once.
    worker_ = std::shared_ptr<SocketWorker>(env_.makeWorker());
    // A failed send on a link that is up is its loss; before that it is a command that failed.
    worker_->SetHandlers({[this] {
                            Frame frame(*this);
                            HandleSocketInput();
                          },
                          [this] {
                            Frame frame(*this);
                            if (Released()) return;
                            if (F_.PelmoraConnected)
                              LinkLost();
                            else if (linkLoss_ == 0)
                              RaiseDeviceError(8);
                          },
                          [this] {
                            Frame frame(*this);
                            if (!Released()) LinkLost();
                          }});
    // 23. The 5 ms poll timer.
    if (env_.pollTimer) {
      timer_ = std::make_unique<pel::Timer>(5, [this] { PollTick(); });
      timer_->setEnabled(true);
    }
  } catch (...) {
    timer_.reset();
    usb_.reset();
    if (worker_) worker_->Stop();
    if (serial_) serial_->Close();
    if (wakeAdded) removeWakeWindow(hwnd_);
    SetWindowLongPtrA(hwnd_, GWLP_USERDATA, 0);
    DestroyWindow(hwnd_);
    throw;
  }
}

TPelmora::~TPelmora() {
  destroying_ = true;
  auto& s = State();
  // The timer first, so no tick runs into a half torn-down component.
  timer_.reset();
  // The USB polling thread is joined before anything it uses goes.
  ShutDownUsbSensors();
  // USB: the library may throw when a driver handle cannot be closed.
  try {
    if (s.useLibUsb)
      env_.usb->LibUsbClose();
    else
      env_.usb->UsbClose();
  } catch (...) {
  }
  // The TCP worker: stopped and joined, hand-overs serviced meanwhile (the
  // lifetime rule keeps this out of its own hand-overs).
  worker_->SetHandlers({});
  serial_->SetOnRxChar({});
  serial_->SetOnGone({});
  try {
    worker_->Disconnect();
  } catch (...) {
  }
  worker_->Stop();
  worker_.reset();
  // The port, likewise.
  try {
    serial_->Close();
  } catch (...) {
  }
  serial_.reset();
  removeWakeWindow(hwnd_);
  SetWindowLongPtrA(hwnd_, GWLP_USERDATA, 0);
  DestroyWindow(hwnd_);
}

LRESULT CALLBACK TPelmora::WindowProc(HWND h, UINT msg, WPARAM wp, LPARAM lp) {
  auto* self = reinterpret_cast<TPelmora*>(GetWindowLongPtrA(h, GWLP_USERDATA));
  if (self) {
    switch (msg) {
      case WM_PAINT:
        self->Paint();
        return 0;
      case kWakeMessage: {
        // Also once released: a worker or the USB polling thread waiting in
        // a hand-over must be able to end (its handlers see the release).
        Frame frame(*self);
        self->Host().RunPendingHandOvers();
        // The frame may end the component; nothing of it is touched afterwards.
        return 0;
      }
      case kEndMessage:
        self->endPosted_.store(false);
        self->EndIfDue();  // may end the component
        return 0;
      default:
        break;
    }
  }
  return DefWindowProcA(h, msg, wp, lp);
}

void TPelmora::Paint() {
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(hwnd_, &ps);
  RECT r;
  GetClientRect(hwnd_, &r);
  FillRect(dc, &r, GetSysColorBrush(COLOR_BTNFACE));
  DrawEdge(dc, &r, EDGE_RAISED, BF_RECT);
  EndPaint(hwnd_, &ps);
  RECT w;
  GetWindowRect(hwnd_, &w);
  if (w.right - w.left != 26 || w.bottom - w.top != 26)
    SetWindowPos(hwnd_, nullptr, 0, 0, 26, 26, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

std::string TPelmora::PelmoraType() const { return ModelName(State().modelState); }

void TPelmora::VCPort(int n) {
  std::string list;
  try {
    list = serial_->PortList();
  } catch (...) {
    return;
  }
  if (PortListed(list, n)) F_.VCPort = n;
}

// Each event runs a copy of its handler: a handler may replace its own event.
void TPelmora::RaiseDeviceError(int n) {
  Frame frame(*this);
  F_.ErrorNumber = n;
  const auto handler = F_.PelmoraError;
  if (handler && !Released()) handler(*this, n);
}

void TPelmora::FireDataReceived(const std::wstring& record) {
  Frame frame(*this);
  const auto handler = F_.DataReceived;
  if (handler && !Released()) handler(*this, record);
}

void TPelmora::FireStartExperiment() {
  Frame frame(*this);
  const auto handler = F_.StartExperiment;
  if (handler && !Released()) handler(*this);
}

void TPelmora::FireStopExperiment() {
  Frame frame(*this);
  const auto handler = F_.StopExperiment;
  if (handler && !Released()) handler(*this);
}

pel::link::LinkCore::LinkCore(LinkFlavour flavour, LinkEnvironment env) : flavour_(flavour), env_(std::move(env)) {}
pel::link::LinkCore::~LinkCore() = default;
