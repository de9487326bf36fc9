// TPelmora's USB sensors: the packet routines over Vantiro or libusb, the
// enumeration with the slot list in the registry, the poll (timer or USB
// polling thread) and its records, the start and stop of the sensors, their
// identification and one-shot reading, and the Wow64 probe.
#include "devicelink/PelmoraUsb.h"

#include <windows.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>

#include "devicelink/LinkModel.h"
#include "devicelink/records/CurrentValue.h"
#include "platform/Registry.h"

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

// The records of a pass on the main thread: delivered, listed and pumped as
// the stream parsers do, the run stopped by the last one.
class MainThreadSink final : public usb::PassSink {
 public:
  MainThreadSink(TPelmora& p, UsbSensorsLink& link, const pel::records::StreamContext& ctx)
      : p_(p), link_(link), ctx_(ctx) {}
  bool Record(const std::array<double, 8>& readings) override {
    const auto step = usb::NextUsbRecord(link_.counters, ctx_, readings, p_.RunningMode() > 0,
                                         p_.ExperimentMode() != 0);
    if (!step.made) return true;
    if (step.raise && p_.DataReceived()) {
      if (!p_.DeliverRecord(step.record)) return false;  // a handler ended the run
    } else {
      p_.Runs().recent.Append(step.record);
      p_.Host().PumpMessages();
    }
    if (step.stop) {
      p_.F_.ExperimentMode = 0;
      p_.HaltAcquisition();
      return false;
    }
    return true;
  }
  bool Repeat() override { return false; }  // the timer calls again

 private:
  TPelmora& p_;
  UsbSensorsLink& link_;
  const pel::records::StreamContext& ctx_;
};

// The records of a pass on the USB polling thread: it raises DataReceived
// and lists the records itself; the stop of the run it leaves to the main
// thread's next timer poll, as the rest of the component is the main
// thread's.
class PollingThreadSink final : public usb::PassSink {
 public:
  PollingThreadSink(TPelmora& p, UsbSensorsLink& link) : p_(p), link_(link) {}
  bool Record(const std::array<double, 8>& readings) override {
    const bool going = link_.started.load();
    const auto step = usb::NextUsbRecord(link_.counters, link_.threadRun.ctx, readings, going, going);
    if (!step.made) return true;
    if (step.raise && link_.threadRun.handler && !p_.Released()) {
      try {
        link_.threadRun.handler(p_, std::wstring(step.record.begin(), step.record.end()));
      } catch (...) {
        // A failing handler loses neither the record nor the run.
      }
    }
    p_.Runs().recent.Append(step.record);
    if (step.stop) {
      link_.started.store(false);
      link_.stopRequested.store(true);
      return false;
    }
    return true;
  }
  bool Repeat() override { return link_.started.load() && !link_.stopRequested.load() && !p_.Released(); }

 private:
  TPelmora& p_;
  UsbSensorsLink& link_;
};

}  // namespace

// ---- the bus over the link environment's USB libraries ----

int UsbSensorsLink::Bus::Count() {
  return TPelmora::State().useLibUsb ? libs_.LibUsbCount() : libs_.UsbCheckOpen();
}

void UsbSensorsLink::Bus::Reopen() {
  if (TPelmora::State().useLibUsb) {
    libs_.LibUsbClose();
    Pump();
    p_.F_.libUsbHandleCount = libs_.LibUsbOpen();
    Pump();
  } else {
    libs_.UsbClose();
    Pump();
    libs_.UsbOpen();
    Pump();
  }
}

bool UsbSensorsLink::Bus::Write(int device, const std::string& packet) {
  try {
    const int n = static_cast<int>(packet.size());
    if (TPelmora::State().useLibUsb) return libs_.LibUsbWrite(device, packet.data(), n, TPelmora::State().usbTimeoutMs) >= 1;
    return libs_.UsbWrite(packet.data(), n, device) != 0;
  } catch (...) {
    return false;
  }
}

std::size_t UsbSensorsLink::Bus::Read(int device, std::uint8_t* buffer, std::size_t max) {
  try {
    const int len = static_cast<int>(std::min<std::size_t>(max, usb::kReadChunk));
    const int n = TPelmora::State().useLibUsb ? libs_.LibUsbRead(device, buffer, len, TPelmora::State().usbTimeoutMs)
                                              : libs_.UsbRead(buffer, len, device);
    return n > 0 ? std::min(static_cast<std::size_t>(n), static_cast<std::size_t>(len)) : 0;
  } catch (...) {
    return 0;
  }
}

bool UsbSensorsLink::Bus::ReadsUntilSilent() const { return TPelmora::State().useLibUsb; }

void UsbSensorsLink::Bus::Pump() { p_.Host().PumpMessages(); }

// ---- the slot list ----

std::array<std::string, usb::kSlots> UsbSensorsLink::RegistryStore::Load() {
  std::array<std::string, usb::kSlots> ids;
  for (int i = 0; i < usb::kSlots; ++i)
    ids[static_cast<std::size_t>(i)] = pel::reg::readString(pel::reg::Root::CurrentUser, kUsbSlotKey, std::to_string(i));
  return ids;
}

void UsbSensorsLink::RegistryStore::Save(const std::array<std::string, usb::kSlots>& ids) {
  for (int i = 0; i < usb::kSlots; ++i)
    pel::reg::writeString(pel::reg::Root::CurrentUser, kUsbSlotKey, std::to_string(i), ids[static_cast<std::size_t>(i)]);
}

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
  if (!started.load() || p_.Released()) return;
  // A release inside the handler ends the component from its window's queue.
  TPelmora::Frame frame(p_);
  PollingThreadSink sink(p_, *this);
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
    link.counters = {};
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
  State().sensors.terminalBlockUse = false;
}

void TPelmora::PollUsbSensors() {
  if (!usb_) return;
  auto& link = *usb_;
  if (!link.started.load()) return;
  SyncStreamSettings();  // sign inversion may change during a run
  const pel::records::StreamContext ctx = runs_.stream;
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
  SyncStreamSettings();
  link.threadRun.ctx = runs_.stream;
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
    // A thread pass ends at its next transfer; the stop's packets wait for
    // it (bounded, servicing its hand-overs and sends), unless the stop
    // comes from that pass's own handler.
    link.Watch().WaitOutPass(kPassEndWait);
    link.stopRequested.store(false);
    link.side.StartSensors(false, digital, s.digitalChannel, F_.SamplingTime, link.counters);
    return;
  }
  link.side.StartSensors(true, digital, s.digitalChannel, F_.SamplingTime, link.counters);
  link.stopRequested.store(false);
  link.started.store(true);
  FireStartExperiment();
  Host().PumpMessages();
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
  s.sensors.terminalBlockUse = false;
}

std::string TPelmora::UsbCurrentValue() {
  if (!usb_) return {};
  try {
    const auto latest = usb_->side.CurrentReadings(false);
    SyncStreamSettings();
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
