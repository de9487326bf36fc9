#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <stdexcept>
#include <thread>

#include "platform/HandOver.h"
#include "platform/MessageLoop.h"
#include "platform/Timer.h"

namespace {

constexpr UINT kWake = WM_USER + 1;

// Runs the main thread's loop the way a host does: the wake message makes the
// window run pending hand-overs.
class HandOverTest : public ::testing::Test {
 protected:
  void SetUp() override {
    pel::HandOver::instance().setMainThread();
    window_ = std::make_unique<pel::MessageWindow>([](UINT msg, WPARAM, LPARAM, LRESULT&) {
      if (msg != kWake) return false;
      pel::HandOver::instance().runPending();
      return true;
    });
    HWND h = window_->hwnd();
    previous_ = pel::HandOver::instance().setWakeHook([h] { PostMessageA(h, kWake, 0, 0); });
  }
  void TearDown() override {
    pel::HandOver::instance().setWakeHook(previous_);
    window_.reset();
  }
  // Pumps (blocking on the queue) until done holds.
  static void pumpUntil(const std::atomic<bool>& done) {
    while (!done) {
      MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
      pel::pumpMessages();
    }
  }
  std::unique_ptr<pel::MessageWindow> window_;
  pel::HandOver::WakeHook previous_;
};

TEST_F(HandOverTest, WorkersCallRunsOnTheMainThreadWhileItPumps) {
  const DWORD main = GetCurrentThreadId();
  std::atomic<DWORD> ranOn{0};
  std::atomic<bool> done{false};
  std::atomic<int> afterReturn{0};
  std::thread worker([&] {
    pel::HandOver::instance().synchronize([&] { ranOn = GetCurrentThreadId(); });
    // synchronize returned, so the call had already run.
    afterReturn = ranOn == main ? 1 : 2;
    done = true;
  });
  pumpUntil(done);
  worker.join();
  EXPECT_EQ(ranOn.load(), main);
  EXPECT_EQ(afterReturn.load(), 1);
}

TEST_F(HandOverTest, MainThreadWaitingForAWorkerInAHandOverDoesNotDeadlock) {
  std::atomic<bool> finished{false};
  int ran = 0;  // main thread only
  std::thread worker([&] {
    for (int i = 0; i < 3; ++i) pel::HandOver::instance().synchronize([&] { ++ran; });
    finished = true;
    pel::HandOver::instance().notify();
  });
  // No pumping here: the join itself must service the hand-overs.
  pel::HandOver::instance().serviceUntil([&] { return finished.load(); });
  worker.join();
  EXPECT_EQ(ran, 3);
  EXPECT_EQ(pel::HandOver::instance().pendingCount(), 0u);
}

TEST_F(HandOverTest, ExceptionOfTheCallReachesTheWorkerAndOnTheMainThreadRunsInline) {
  std::atomic<bool> done{false};
  std::atomic<bool> caught{false};
  std::thread worker([&] {
    try {
      pel::HandOver::instance().synchronize([] { throw std::runtime_error("handler failed"); });
    } catch (const std::runtime_error&) {
      caught = true;
    }
    done = true;
  });
  pumpUntil(done);
  worker.join();
  EXPECT_TRUE(caught);
  bool inline_ = false;
  pel::HandOver::instance().synchronize([&] { inline_ = true; });
  EXPECT_TRUE(inline_);
}

bool pumpUntilTicks(const int& ticks, int want, int maxWaits) {
  for (int i = 0; i < maxWaits && ticks < want; ++i) {
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
    pel::pumpMessages();
  }
  return ticks >= want;
}

TEST(TimerTest, TicksOnTheCreatingThreadUntilDisabled) {
  int ticks = 0;
  pel::Timer t(5, [&] { ++ticks; });
  EXPECT_EQ(ticks, 0);
  t.setEnabled(true);
  ASSERT_TRUE(pumpUntilTicks(ticks, 3, 200));
  t.setEnabled(false);
  pel::pumpMessages();
  const int seen = ticks;
  Sleep(30);
  pel::pumpMessages();
  EXPECT_EQ(ticks, seen);
  t.setInterval(1);
  t.setEnabled(true);
  EXPECT_TRUE(pumpUntilTicks(ticks, seen + 2, 200));
}

}  // namespace

// A dialog with an OK button; closed reports the command its keys gave.
struct KeyDialog {
  static INT_PTR CALLBACK Proc(HWND dlg, UINT msg, WPARAM wp, LPARAM) {
    if (msg == WM_INITDIALOG) return TRUE;
    if (msg == WM_COMMAND && (LOWORD(wp) == IDOK || LOWORD(wp) == IDCANCEL)) {
      SetWindowLongPtrA(dlg, DWLP_USER, LOWORD(wp));
      return TRUE;
    }
    return FALSE;
  }
  KeyDialog() {
    // A template in memory: the dialog and one default push button.
    struct alignas(4) Template {
      DLGTEMPLATE dlg;
      WORD menu = 0, cls = 0, title = 0;
      alignas(4) DLGITEMTEMPLATE ok;
      WORD okClass[2] = {0xFFFF, 0x0080};
      WORD okText = 0, okData = 0;
    } t{};
    t.dlg.style = WS_POPUP | DS_MODALFRAME;
    t.dlg.cdit = 1;
    t.dlg.cx = 100;
    t.dlg.cy = 50;
    t.ok.style = WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON;
    t.ok.cx = 40;
    t.ok.cy = 14;
    t.ok.id = IDOK;
    hwnd = CreateDialogIndirectParamA(GetModuleHandleA(nullptr), &t.dlg, nullptr, &Proc, 0);
  }
  ~KeyDialog() { DestroyWindow(hwnd); }
  LONG_PTR Command() const { return GetWindowLongPtrA(hwnd, DWLP_USER); }
  HWND hwnd = nullptr;
};

// A component that pumps while a dialog is up (a poll tick inside a modal
// loop) leaves Enter and Esc to the dialog, as the dialog's own loop would.
TEST(PumpTest, KeysOfADialogReachItsDialogHandling) {
  for (const WPARAM key : {VK_RETURN, VK_ESCAPE}) {
    KeyDialog d;
    ASSERT_NE(d.hwnd, nullptr);
    PostMessageA(GetDlgItem(d.hwnd, IDOK), WM_KEYDOWN, key, 0);
    pel::pumpMessages();
    EXPECT_EQ(d.Command(), key == VK_RETURN ? IDOK : IDCANCEL) << key;
  }
}
