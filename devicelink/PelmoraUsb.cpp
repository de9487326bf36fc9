// TPelmora's USB sensors: the link with its polling thread, the packet
// routines, the enumeration, the poll (timer or USB polling thread) and its
// hand-over, the start and stop of the sensors, their identification and
// one-shot reading, and the Wow64 probe. The bus, the slot store and the
// record sinks have files of their own.
#include "devicelink/PelmoraUsb.h"

#include <windows.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>

#include "devicelink/LinkModel.h"
#include "devicelink/UsbRecordSinks.h"
#include "devicelink/records/CurrentValue.h"

using namespace pel::link;
namespace usb = pel::usb;

namespace {

usb::TimeOfDay timeOfDay() {
  SYSTEMTIME t;
  GetLocalTime(&t);
  return {t.wMinute, t.wSecond, t.wMilliseconds};
}

// A stop on the main thread waits this long for a thread pass to end; the
// pass ends at its next transfer, so this only bounds a hanging handler.
constexpr auto kPassEndWait = std::chrono::milliseconds(3000);

}  // namespace

// ---- the link ----

UsbSensorsLink::UsbSensorsLink(TPelmora& p, UsbLibraries& libs)
    : bus(p, libs),
      side(bus, store,
           usb::UsbTables{TPelmora::State().usbSlots, TPelmora::State().usbFoundCount, TPelmora::State().sensorRange,
                          p.Outputs().latestUsbReading, TPelmora::State().usbNewReading},
           timeOfDay),
      p_(p),
      watch_(std::make_unique<TWatchThread>([this] { ThreadPass(); }, TPelmora::State().usbBusy)) {}

UsbSensorsLink::~UsbSensorsLink() {
  started.store(false);
  watch_.reset();
}

void UsbSensorsLink::ThreadPass() {
  const int thisRun = run.load();
  if (!started.load() || p_.Released()) return;
  // A release inside the handler ends the component from its window's queue.
  TPelmora::Frame frame(p_);
  PollingThreadSink sink(p_, *this, thisRun);
  side.PollPass(threadRun.digitalInput, sink, p_.Outputs().calibration);
}

// ---- TPelmora ----

void TPelmora::InstallUsbSensors() {
  usb_ = std::make_unique<UsbSensorsLink>(*this, *env_.usb);
  hooks_.enumerateUsbSensors = [](TPelmora& p) { p.EnumerateUsbSensors(false); };
  hooks_.pollUsbSensors = [](TPelmora& p) { p.PollUsbSensors(); };
  runs_.startUsbSensors = [](TPelmora& p) {
    if (!p.usb_) return;
    auto& s = State();
    auto& link = *p.usb_;
    link.WithCounters([](usb::UsbRunCounters& c) { c = {}; });
    const bool digital = p.F_.CHInputMode == CHInput::Digital;
    usb::RunSetup base;
    base.samplingTime = p.F_.SamplingTime;
    base.adc = p.F_.ADC;
    base.digitalTiming = s.digitalTimingOptions;
    base.noOfStroboSlit = p.F_.NoOfStroboSlit;
    link.side.SetUpRun(base, digital, s.digitalChannel);
    p.StartUsbSensors(true);
  };
  runs_.stopUsbSensors = [](TPelmora& p) { p.StartUsbSensors(false); };
  outputs_.sendUsbRangePacket = [](TPelmora& p, const pel::setup::UsbRangePacket& packet) {
    if (packet.channel < 0 || packet.channel >= usb::kSlots) return;
    const int device = State().usbSlots[static_cast<std::size_t>(packet.channel)].device;
    p.UsbSensorWrite(device, packet.kCommand, packet.data, packet.kType, packet.kCode);
    p.UsbSensorRead(device, true);
  };
}

void TPelmora::ShutDownUsbSensors() { usb_.reset(); }

pel::usb::UsbSensorSide& TPelmora::UsbSensors() { return usb_->side; }

bool TPelmora::UsbSensorWrite(int device, const std::string& command, const std::string& data,
                              const std::string& type, const std::string& code) {
  Frame frame(*this);
  if (!usb_) return false;
  return usb_->side.Write(device, {command, code, type, data});
}

std::string TPelmora::UsbSensorRead(int device, bool wait) {
  Frame frame(*this);
  if (!usb_) return {};
  const bool duringRun = F_.RunningMode != 0 && F_.RunningMode != 4;
  return usb_->side.Read(device, wait, duringRun);
}

void TPelmora::EnumerateUsbSensors(bool force) {
  Frame frame(*this);
  if (!usb_) return;
  usb_->side.Enumerate(force);
  F_.TerminalBlockUse = false;
}

void TPelmora::PollUsbSensors() {
  if (!usb_) return;
  auto& link = *usb_;
  if (!link.started.load()) return;
  const pel::records::StreamContext ctx = runs_.stream;  // the pass's run state
  MainThreadSink sink(*this, link, ctx);
  link.side.PollPass(F_.CHInputMode == CHInput::Digital, sink, outputs_.calibration);
}

bool TPelmora::UsbWatchTick() {
  if (!usb_) return true;
  auto& link = *usb_;
  if (link.stopRequested.exchange(false)) {
    // The polling thread's last record: the run ends here, on this thread.
    if (F_.RunningMode > 0 && State().modelState == model::Usb) {
      F_.ExperimentMode = 0;
      HaltAcquisition();
    }
    return true;
  }
  if (!F_.ThreadType) return false;
  if (State().usbBusy.load() || F_.RunningMode <= 0 || !link.started.load()) return true;
  // The polling thread reads its own copy, taken here on the main thread:
  // the fields it would otherwise read change on this thread meanwhile.
  link.threadRun.ctx = runs_.stream.Snapshot();
  link.threadRun.handler = F_.DataReceived;
  link.threadRun.digitalInput = F_.CHInputMode == CHInput::Digital;
  link.Watch().Resume();
  return true;
}

void TPelmora::StartUsbSensors(bool start) {
  Frame frame(*this);
  if (!usb_) return;
  auto& link = *usb_;
  auto& s = State();
  const bool digital = F_.CHInputMode == CHInput::Digital;
  if (!start) {
    link.started.store(false);
    ++link.run;  // a pass still going makes no more records
    // A thread pass ends at its next transfer; the stop's packets wait for
    // it (bounded, servicing its hand-overs and sends), unless the stop
    // comes from that pass's own handler, which returns at once.
    link.Watch().WaitOutPass(kPassEndWait);
    link.stopRequested.store(false);
    link.WithCounters([&](usb::UsbRunCounters& c) {
      link.side.StartSensors(false, digital, s.digitalChannel, F_.SamplingTime, c);
    });
    return;
  }
  ++link.run;
  link.WithCounters([&](usb::UsbRunCounters& c) {
    link.side.StartSensors(true, digital, s.digitalChannel, F_.SamplingTime, c);
  });
  link.stopRequested.store(false);
  link.started.store(true);
  FireStartExperiment();
  if (!Released()) Host().PumpMessages();
}

void TPelmora::IdentifyUsbSlots() {
  if (!usb_) return;
  auto& s = State();
  if (F_.SetZeroMode || s.usbBusy.load()) return;
  const auto found = usb_->side.Identify();

  for (int k = 0; k < usb::kSlots; ++k) {
    auto& c = s.sensors.ch[static_cast<std::size_t>(k)];
    c.sensorId = found.ids[static_cast<std::size_t>(k)];
    c.active = found.active[static_cast<std::size_t>(k)];
  }
  F_.TerminalBlockUse = false;
}

std::string TPelmora::UsbCurrentValue() {
  if (!usb_) return {};
  try {
    const auto latest = usb_->side.CurrentReadings(false);
    return pel::records::FormatUsbCurrentValue(runs_.stream, latest);
  } catch (...) {
    return {};
  }
}

bool TPelmora::IsWow64(std::string& message) {
  using Fn = BOOL(WINAPI*)(HANDLE, PBOOL);
  HMODULE k = GetModuleHandleA("kernel32");
  auto fn = k ? reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(k, "IsWow64Process"))) : nullptr;
  if (!fn) {
    message = "IsWow64Process not present in kernel32.dll";
    return false;
  }
  BOOL wow = FALSE;
  if (!fn(GetCurrentProcess(), &wow)) {
    message = "IsWow64 call failed";
    return false;
  }
  message = wow ? "Process is running on Wow64" : "Process is NOT running on Wow64";
  return wow != FALSE;
}
