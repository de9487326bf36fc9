// TPelmora with USB sensors over in-process fakes: the connect with its
// enumeration and stored slots, identification, runs polled by the timer and
// by the USB polling thread with their records, the range packet, the
// calibration hand-over, the one-shot reading and the Wow64 probe.
#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>

#include "FakeLink.h"
#include "devicelink/Pelmora.h"
#include "platform/HandOver.h"
#include "tests/devicelink/HostLoop.h"
#include "platform/Registry.h"
#include "setup/FakeSensors.h"
#include "tests/devicelink/usb/FakeSensors.h"

namespace {

using pel::link::ProcessState;
const char* const kSlotKey = "Software\\Pelmora\\USBSensor\\Enum";

// Vantiro (or libusb) with simulated sensors behind it; thread-safe, as the
// USB polling thread reads through it too.
class SensorLibs final : public pel::link::UsbLibraries {
 public:
  std::mutex m;
  std::vector<fakeusb::Sensor> sensors;
  bool libusb = false;
  std::atomic<int> closes{0};

  bool IsWow64() override { return false; }
  int UsbInit(int) override { return 1; }
  int UsbOpen() override { return libusb ? 0 : Present(); }
  int UsbClose() override {
    ++closes;
    return 44;
  }
  void LibUsbInit() override {}
  int LibUsbCount() override { return libusb ? Present() : 0; }
  void LibUsbClose() override {}
  int UsbCheckOpen() override { return Present(); }
  int LibUsbOpen() override { return LibUsbCount(); }
  int UsbWrite(const void* b, int n, int d) override { return Write(d, b, n) ? 1 : 0; }
  int UsbRead(void* b, int n, int d) override { return Read(d, b, n); }
  int LibUsbWrite(int d, const void* b, int n, int) override { return Write(d, b, n) ? n : -1; }
  int LibUsbRead(int d, void* b, int n, int) override {
    const int got = Read(d, b, n);
    return got > 0 ? got : -116;
  }

  int Present() {
    std::lock_guard lock(m);
    return static_cast<int>(sensors.size());
  }
  bool Write(int d, const void* b, int n) {
    std::lock_guard lock(m);
    if (d < 0 || d >= static_cast<int>(sensors.size())) return false;
    sensors[static_cast<std::size_t>(d)].Take(std::string(static_cast<const char*>(b), static_cast<std::size_t>(n)));
    return true;
  }
  int Read(int d, void* b, int n) {
    std::lock_guard lock(m);
    if (d < 0 || d >= static_cast<int>(sensors.size())) return -1;
    const auto got = sensors[static_cast<std::size_t>(d)].Give(static_cast<std::uint8_t*>(b), static_cast<std::size_t>(n));
    return got ? static_cast<int>(got) : -1;
  }
  void Push(int d, double v) {
    std::lock_guard lock(m);
    sensors[static_cast<std::size_t>(d)].Push(v);
  }
  std::vector<std::string> Keys(int d) {
    std::lock_guard lock(m);
    return sensors[static_cast<std::size_t>(d)].Keys();
  }
  void ClearSent() {
    std::lock_guard lock(m);
    for (auto& s : sensors) s.sent.clear();
  }
};

class UsbSensorsTest : public ::testing::Test {
 protected:
  void SetUp() override { FreshSensors(); }
  // Three sensors as an earlier run left them, and their stored slot list.
  void FreshSensors() {
    libs = std::make_shared<SensorLibs>();
    pel::reg::deleteTree(pel::reg::Root::CurrentUser, kSlotKey);
    // Stored from an earlier run: the third sensor served channel A.
    pel::reg::writeString(pel::reg::Root::CurrentUser, kSlotKey, "0", "0400003");
    for (const char* id : {"0400001", "0400002", "0400003"}) {
      fakeusb::Sensor s;
      s.identifier = id;
      libs->sensors.push_back(s);
    }
    libs->sensors[0].sensorId = "S021";
    libs->sensors[1].sensorId = "S022";
    libs->sensors[2].sensorId = "S011";
    libs->sensors[2].range = "1";
  }
  void TearDown() override {
    p.reset();
    pel::reg::deleteTree(pel::reg::Root::CurrentUser, kSlotKey);
    ProcessState().useLibUsb = false;
  }
  void Connect() {
    auto env = rig.Env();
    env.usb = libs;
    p = TPelmora::Create(nullptr, LinkFlavour::Studio(), env);
    p->PelmoraError([this](TPelmora&, int n) { errors.push_back(n); });
    p->StartExperiment([this](TPelmora&) { ++starts; });
    p->StopExperiment([this](TPelmora&) { ++stops; });
    p->UseOnlyUSBSensor(true);
    p->AutoDetect(false);
    ASSERT_EQ(p->InitializeComm(), 0);
    ASSERT_EQ(p->PelmoraType(), "USB");
  }
  std::string Slot(int i) { return pel::reg::readString(pel::reg::Root::CurrentUser, kSlotKey, std::to_string(i)); }

  fake::Rig rig;
  std::shared_ptr<SensorLibs> libs;
  std::shared_ptr<TPelmora> p;
  std::vector<int> errors;
  int starts = 0, stops = 0;
};

TEST_F(UsbSensorsTest, ConnectEnumeratesIdentifiesAndKeepsChannelsInTheRegistry) {
  Connect();
  EXPECT_EQ(Slot(0), "0400003");
  EXPECT_EQ(Slot(1), "0400001");
  EXPECT_EQ(Slot(2), "0400002");
  EXPECT_EQ(Slot(3), "");
  EXPECT_EQ(ProcessState().usbFoundCount, 3);
  EXPECT_EQ(ProcessState().usbSlots[0].device, 2);
  EXPECT_EQ(p->CHAID(), 11);
  EXPECT_EQ(p->CHBID(), 21);
  EXPECT_EQ(p->CHCID(), 22);
  EXPECT_EQ(p->CHDID(), -1);
  EXPECT_TRUE(p->CHA() && p->CHB() && p->CHC());
  EXPECT_FALSE(p->CHD());
  EXPECT_EQ(p->SensorRangeA(), SensorRangeType::General_Purpose);
  EXPECT_TRUE(errors.empty());

  // The sensor of channel B goes: C's moves up at the next identification.
  {
    std::lock_guard lock(libs->m);
    libs->sensors.erase(libs->sensors.begin());
  }
  ASSERT_EQ(p->AutoSensorID(), 0);
  EXPECT_EQ(Slot(0), "0400003");
  EXPECT_EQ(Slot(1), "0400002");
  EXPECT_EQ(Slot(2), "");
  EXPECT_EQ(p->CHBID(), 22);
  EXPECT_FALSE(p->CHC());
}

TEST_F(UsbSensorsTest, TimerPolledRunDeliversRecordsAndStopsAfterTheLast) {
  Connect();
  p->SamplingTime(1.0);
  p->AutoStop(true);
  p->F_.NoOfData = 2;
  std::vector<std::wstring> records;
  p->DataReceived([&](TPelmora&, const std::wstring& r) { records.push_back(r); });
  libs->ClearSent();
  ASSERT_EQ(p->Pelmora(true), 0);
  EXPECT_EQ(starts, 1);
  EXPECT_EQ(libs->Keys(0), (std::vector<std::string>{"2001/0000", "2002/0001/D/1000", "1004/0001", "2000/0001"}));
  for (double v : {1.5, 2.5, 3.5}) {
    libs->Push(2, v);  // channel A's sensor
    p->PollInput();
  }
  ASSERT_EQ(records.size(), 2u);
  EXPECT_EQ(records[0].substr(0, 35), L"1,0.00000000,  1.500000,  0.000000,");
  EXPECT_EQ(records[1].substr(0, 24), L"2,1.00000000,  2.500000,");
  EXPECT_EQ(std::count(records[0].begin(), records[0].end(), L','), 9);
  EXPECT_EQ(stops, 1);
  EXPECT_EQ(p->RunningMode(), 0);
  EXPECT_EQ(libs->Keys(2).back(), "2000/0000");
}

TEST_F(UsbSensorsTest, ThreadPolledRunDeliversOnThePollingThreadAndTheTimerEndsIt) {
  Connect();
  p->SamplingTime(1.0);
  p->AutoStop(true);
  p->F_.NoOfData = 3;
  p->ThreadType(true);
  std::mutex m;
  std::condition_variable cv;
  std::vector<std::wstring> records;
  const auto mainThread = std::this_thread::get_id();
  bool offMain = true;
  p->DataReceived([&](TPelmora&, const std::wstring& r) {
    std::lock_guard lock(m);
    offMain = offMain && std::this_thread::get_id() != mainThread;
    records.push_back(r);
    cv.notify_all();
  });
  ASSERT_EQ(p->Pelmora(true), 0);
  for (int i = 0; i < 5; ++i) libs->Push(2, i + 1);
  const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(20);
  for (;;) {
    p->PollInput();  // resumes the thread while no pass runs
    std::unique_lock lock(m);
    if (cv.wait_for(lock, std::chrono::milliseconds(20), [&] { return records.size() >= 3; })) break;
    ASSERT_LT(std::chrono::steady_clock::now(), until) << "no records from the polling thread";
  }
  // The stop request reaches the main thread at its next poll.
  for (int i = 0; i < 2000 && p->RunningMode() != 0; ++i) {
    p->PollInput();
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  EXPECT_EQ(p->RunningMode(), 0);
  EXPECT_EQ(stops, 1);
  std::lock_guard lock(m);
  EXPECT_EQ(records.size(), 3u);
  EXPECT_TRUE(offMain);
  EXPECT_EQ(records[2].substr(0, 24), L"3,2.00000000,  3.000000,");
}

// How the polling thread's handler reaches the main thread: not at all, by
// a message sent to a window of the main thread, or by a blocking hand-over
// (as the ActiveX control passes its events on).
enum class Reach { Plain, SendToWindow, HandOver };

// A ThreadType run whose polling thread delivers, each handler call
// reaching the main thread as asked. Returns once the first record is on
// its way; the main thread does not pump meanwhile, so a handler then waits
// in its send or hand-over.
class DeliveringRun {
 public:
  DeliveringRun(TPelmora& p, SensorLibs& libs, Reach reach) {
    handled() = 0;
    window_ = CreateWindowExA(0, "STATIC", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
    SetWindowLongPtrA(window_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&Proc));
    p.ThreadType(true);
    p.DataReceived([this, reach](TPelmora&, const std::wstring&) {
      if (records.load() == 0)
        DuplicateHandle(GetCurrentProcess(), GetCurrentThread(), GetCurrentProcess(), &thread, SYNCHRONIZE, FALSE, 0);
      ++records;
      if (reach == Reach::SendToWindow) SendMessageA(window_, WM_USER + 7, 0, 0);
      if (reach == Reach::HandOver) pel::HandOver::instance().synchronize([] { ++handled(); });
    });
    EXPECT_EQ(p.Pelmora(true), 0);
    for (int i = 0; i < 50; ++i) libs.Push(2, 1);
    p.PollInput();  // resumes the polling thread
    for (int i = 0; i < 2000 && records.load() == 0; ++i) Sleep(1);
    EXPECT_GT(records.load(), 0);
    Sleep(20);
  }
  ~DeliveringRun() {
    if (thread) CloseHandle(thread);
    DestroyWindow(window_);
  }
  static int& handled() {
    static int n = 0;  // main thread: the window's procedure
    return n;
  }
  // Pumps (bounded) until the polling thread has ended.
  bool ThreadEnds() {
    const DWORD until = GetTickCount() + 5000;
    while (thread && WaitForSingleObject(thread, 0) != WAIT_OBJECT_0 && GetTickCount() < until) {
      MSG m;
      while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&m);
      Sleep(1);
    }
    return thread && WaitForSingleObject(thread, 0) == WAIT_OBJECT_0;
  }
  // No record arrives while the host pumps a while.
  void NoRecordAfterwards() {
    const int atEnd = records.load();
    const DWORD until = GetTickCount() + 150;
    while (GetTickCount() < until) {
      MSG m;
      while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&m);
      Sleep(1);
    }
    EXPECT_EQ(records.load(), atEnd);
  }

  std::atomic<int> records{0};
  HANDLE thread = nullptr;  // the polling thread, taken by its first record

 private:
  static LRESULT CALLBACK Proc(HWND h, UINT m, WPARAM wp, LPARAM lp) {
    if (m == WM_USER + 7) return ++handled();
    return DefWindowProcA(h, m, wp, lp);
  }
  HWND window_ = nullptr;
};

// Ending mid-run (its handler waiting in a send or a hand-over, or not): the
// host's release returns at once, the component ends once the delivery is
// over, its polling thread is gone and its USB library closed, nothing
// arrives after the end and the slot list stays.
TEST_F(UsbSensorsTest, ComponentEndsWhileThePollingThreadRuns) {
  for (const Reach reach : {Reach::Plain, Reach::SendToWindow, Reach::HandOver}) {
    SCOPED_TRACE(static_cast<int>(reach));
    FreshSensors();
    Connect();
    DeliveringRun run(*p, *libs, reach);
    const int closes = libs->closes.load();
    p.reset();  // returns: a handler waiting in its send is no deadlock
    EXPECT_TRUE(run.ThreadEnds());
    EXPECT_GT(libs->closes.load(), closes);
    if (reach != Reach::Plain) {
      EXPECT_EQ(DeliveringRun::handled(), run.records.load());  // each one was answered
    }
    run.NoRecordAfterwards();
    EXPECT_EQ(Slot(0), "0400003");
    EXPECT_EQ(Slot(1), "0400001");
    EXPECT_EQ(Slot(2), "0400002");
  }
}

// The stop of a run waits (bounded) for the polling thread's pass, and
// answers the send its handler waits in meanwhile.
TEST_F(UsbSensorsTest, StopWhileThePollingThreadsHandlerSendsToItsWindow) {
  Connect();
  DeliveringRun run(*p, *libs, Reach::SendToWindow);
  EXPECT_EQ(p->Pelmora(false), 0);
  EXPECT_GE(DeliveringRun::handled(), 1);  // answered by the stop's wait, not by a later pump
  EXPECT_EQ(p->RunningMode(), 0);
  EXPECT_EQ(stops, 1);
  run.NoRecordAfterwards();
  p.reset();
  EXPECT_TRUE(run.ThreadEnds());
}

// A host whose handler passes each record to the main thread and stops the
// run there (or closes the link): the pass waits for that very call, so the
// stop must not wait for the pass. It returns at once, the run ends and the
// pass makes no more records, also when the same handler starts the next run.
TEST_F(UsbSensorsTest, StopInsideAPassedOverHandlerReturnsAtOnce) {
  enum class Then { Stop, StopAndStart, Close };
  for (const Then then : {Then::Stop, Then::StopAndStart, Then::Close}) {
    SCOPED_TRACE(static_cast<int>(then));
    FreshSensors();
    Connect();
    p->SamplingTime(1.0);
    p->ThreadType(true);
    std::atomic<int> records{0};
    std::chrono::steady_clock::duration stopTook{};
    int stopped = -1, restarted = -1, atStop = 0;
    p->DataReceived([&](TPelmora& q, const std::wstring&) {
      ++records;
      pel::HandOver::instance().synchronize([&] {
        if (stopped != -1) return;
        atStop = records.load();
        const auto t0 = std::chrono::steady_clock::now();
        stopped = then == Then::Close ? q.CloseComm() : q.Pelmora(false);
        stopTook = std::chrono::steady_clock::now() - t0;
        if (then == Then::StopAndStart) restarted = q.Pelmora(true);
      });
    });
    ASSERT_EQ(p->Pelmora(true), 0);
    for (int i = 0; i < 20; ++i) libs->Push(2, i + 1);
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    // The host's loop: polls (resuming the thread) and runs its hand-overs.
    const auto hostLoop = [&] {
      p->PollInput();
      pel::HandOver::instance().runPending();
      Sleep(1);
    };
    while (stopped == -1 && std::chrono::steady_clock::now() < until) hostLoop();
    ASSERT_EQ(stopped, 0);
    EXPECT_LT(stopTook, std::chrono::milliseconds(1000));
    EXPECT_EQ(stops, 1);
    // The old pass records nothing more, whatever run goes now.
    for (int i = 0; i < 100; ++i) hostLoop();
    if (then == Then::StopAndStart) {
      EXPECT_EQ(restarted, 0);
      EXPECT_EQ(p->RunningMode(), 1);
      EXPECT_EQ(p->Pelmora(false), 0);
    } else {
      EXPECT_EQ(records.load(), atStop);
      EXPECT_EQ(p->RunningMode(), then == Then::Close ? -1 : 0);
    }
    p.reset();
    stops = 0;
  }
}

// A release on the main thread while the polling thread's handler runs:
// the release returns only once that handler did, so no host code of the
// component runs after it.
TEST_F(UsbSensorsTest, ReleaseWaitsForTheHandlerInFlightOnThePollingThread) {
  Connect();
  p->SamplingTime(1.0);
  p->ThreadType(true);
  std::atomic<bool> inHandler{false}, handlerDone{false};
  std::atomic<int> calls{0};
  p->DataReceived([&](TPelmora&, const std::wstring&) {
    if (++calls > 1) return;
    inHandler = true;
    Sleep(200);
    handlerDone = true;
  });
  ASSERT_EQ(p->Pelmora(true), 0);
  for (int i = 0; i < 20; ++i) libs->Push(2, 1);
  for (int i = 0; i < 5000 && !inHandler; ++i) {
    p->PollInput();
    Sleep(1);
  }
  ASSERT_TRUE(inHandler);
  p.reset();
  EXPECT_TRUE(handlerDone);
  const int atRelease = calls.load();
  hostloop::PumpUntil([] { return false; }, std::chrono::milliseconds(150));
  EXPECT_EQ(calls.load(), atRelease);
}

// A host that lets go inside the start's pump: no sensor is started.
TEST_F(UsbSensorsTest, ReleaseInsideTheStartsPumpStartsNoSensor) {
  Connect();
  p->SamplingTime(1.0);
  libs->ClearSent();
  rig.host->onPump = [&] {
    rig.host->onPump = nullptr;
    p.reset();
  };
  TPelmora* raw = p.get();
  raw->Pelmora(true);
  for (int d = 0; d < 3; ++d) EXPECT_EQ(libs->Keys(d), std::vector<std::string>{}) << "device " << d;
  EXPECT_TRUE(rig.workerStopped);
}

TEST_F(UsbSensorsTest, RangeCalibrationAndCurrentValueGoToTheChannelsSensor) {
  Connect();
  auto catalog = std::make_shared<pel::setup::test::FakeSensors>();
  catalog->Class("SensorMultiRange", 11).Class("SensorCalibration", 11);
  p->Outputs().catalog = catalog;
  p->Outputs().countUsbDevices = [] { return 3; };
  libs->ClearSent();
  EXPECT_EQ(p->SensorRangeSetting(1, 2), 0);  // channel A: device 2
  EXPECT_EQ(libs->Keys(2), std::vector<std::string>{"1008/0019/D/2"});

  libs->sensors[2].reading = 4.25;
  libs->sensors[0].reading = 1.0;
  const std::string v = p->GetCurrentValue();
  EXPECT_EQ(v.substr(0, 22), "  4.250000,  1.000000,");

  p->SetZeroMode(true);
  ASSERT_EQ(p->SensorZeroSetting(1, false), 0);
  ASSERT_TRUE(p->Outputs().calibration.Pending());
  p->SamplingTime(1.0);
  ASSERT_EQ(p->Pelmora(true), 0);
  libs->ClearSent();
  p->PollInput();  // nothing read, the calibration still goes
  EXPECT_FALSE(p->Outputs().calibration.Pending());
  const auto sent = libs->Keys(2);
  ASSERT_FALSE(sent.empty());
  EXPECT_EQ(sent.front(), "1008/0019/D/2");  // the reset sends the channel's range back
  p->Pelmora(false);
}

// A broken-line sensor whose reading at a reference level no packet can
// carry as the segment break: the calibration is refused (error 11) and
// nothing goes to the sensor, which keeps the calibration it has.
TEST_F(UsbSensorsTest, CalibrationThePacketsCannotCarryIsRefused) {
  libs->sensors[2].sensorId = "S005";  // channel A
  Connect();
  auto catalog = std::make_shared<pel::setup::test::FakeSensors>();
  catalog->Class("SensorCalibration", 5);
  p->Outputs().catalog = catalog;
  p->Outputs().countUsbDevices = [] { return 3; };
  p->SetZeroMode(true);
  libs->sensors[2].reading = 1e16;
  p->GetCurrentValue();
  ASSERT_TRUE(p->SetCalibratData(1, 7.0));  // the middle reference level
  errors.clear();
  EXPECT_EQ(p->SensorZeroSetting(1, true), 11);
  EXPECT_EQ(errors, std::vector<int>{11});
  EXPECT_FALSE(p->Outputs().calibration.Pending());
  p->SamplingTime(1.0);
  ASSERT_EQ(p->Pelmora(true), 0);
  libs->ClearSent();
  p->PollInput();
  for (const auto& k : libs->Keys(2)) EXPECT_TRUE(k.rfind("1008/", 0) != 0 && k.rfind("9998/", 0) != 0) << k;
  p->Pelmora(false);
}

TEST_F(UsbSensorsTest, LibusbPathReadsRepliesUntilQuiet) {
  libs->libusb = true;
  Connect();
  EXPECT_TRUE(ProcessState().useLibUsb);
  EXPECT_EQ(p->F_.libUsbHandleCount, 3);
  EXPECT_EQ(Slot(0), "0400003");
  EXPECT_EQ(Slot(1), "0400001");
  EXPECT_EQ(p->CHAID(), 11);
}

// The digital channel that the input-mode setter chose (the first active
// one, B here) is the one every reader uses: the start's run-state reset
// keeps it, the USB start packets address it, and the stream reads it.
TEST_F(UsbSensorsTest, DigitalChannelChosenByTheSetterDrivesTheStart) {
  Connect();
  ProcessState().sensors.ch[0].active = false;  // B and C active
  p->CHInputMode(CHInput::Digital);
  ASSERT_EQ(ProcessState().digitalChannel, 1);
  libs->ClearSent();
  ASSERT_EQ(p->Pelmora(true), 0);
  EXPECT_EQ(ProcessState().digitalChannel, 1);
  EXPECT_EQ(p->Runs().stream.digitalChannel(), 1);
  const int b = ProcessState().usbSlots[1].device;
  for (int k = 0; k < 3; ++k) {
    const int device = ProcessState().usbSlots[static_cast<std::size_t>(k)].device;
    const auto keys = libs->Keys(device);
    const bool timed = device == b;
    EXPECT_EQ(std::count(keys.begin(), keys.end(), "2001/0001"), timed ? 1 : 0) << k;
    EXPECT_EQ(std::count(keys.begin(), keys.end(), "2001/0000"), timed ? 0 : 1) << k;
    EXPECT_EQ(std::count(keys.begin(), keys.end(), "2000/0001"), timed ? 1 : 0) << k;
  }
  p->Pelmora(false);
  ProcessState().digitalChannel = 0;
}

TEST(UsbWow64, AnswersWithItsMessage) {
  std::string message;
  const bool wow = TPelmora::IsWow64(message);
  // The tests run on a 64-bit system: the 32-bit build runs under Wow64.
  EXPECT_EQ(wow, sizeof(void*) == 4);
  EXPECT_EQ(message, wow ? "Process is running on Wow64" : "Process is NOT running on Wow64");
}

}  // namespace
