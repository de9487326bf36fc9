#pragma once
// Where the records of a USB poll pass go: on the main thread (timer poll)
// they are delivered, listed and pumped as the stream parsers do and the
// last one stops the run; on the USB polling thread (ThreadType) the thread
// raises DataReceived and lists them itself and leaves the stop to the main
// thread's next timer poll.
#include <array>

#include "devicelink/PelmoraUsb.h"

namespace pel::link {

// The records of a pass on the main thread: delivered, listed and pumped as
// the stream parsers do, the run stopped by the last one.
class MainThreadSink final : public usb::PassSink {
 public:
  MainThreadSink(TPelmora& p, UsbSensorsLink& link, const pel::records::StreamContext& ctx)
      : p_(p), link_(link), ctx_(ctx) {}
  bool Record(const std::array<double, 8>& readings) override {
    const bool running = p_.RunningMode() > 0, going = p_.ExperimentMode() != 0;
    const auto step = link_.WithCounters(
        [&](usb::UsbRunCounters& c) { return usb::NextUsbRecord(c, ctx_, readings, running, going); });
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
// thread's. The pass belongs to the run it began in (run): once that run
// stopped it makes no more records, even if another one started meanwhile.
class PollingThreadSink final : public usb::PassSink {
 public:
  PollingThreadSink(TPelmora& p, UsbSensorsLink& link, int run) : p_(p), link_(link), run_(run) {}
  bool Record(const std::array<double, 8>& readings) override {
    // Its run stopped: nothing is counted, listed or asked to stop.
    if (!Going()) return false;
    const auto step = link_.WithCounters([&](usb::UsbRunCounters& c) {
      return usb::NextUsbRecord(c, link_.threadRun.ctx, readings, true, true);
    });
    if (!step.made) return true;
    if (step.raise && link_.threadRun.handler) {
      p_.RaiseOffMain([&] {
        try {
          link_.threadRun.handler(p_, std::wstring(step.record.begin(), step.record.end()));
        } catch (...) {
          // A failing handler loses neither the record nor the run.
        }
      });
    }
    p_.Runs().recent.Append(step.record);
    if (step.stop) {
      link_.started.store(false);
      link_.stopRequested.store(true);
      return false;
    }
    return true;
  }
  bool Repeat() override { return Going() && !link_.stopRequested.load() && !p_.Released(); }

 private:
  bool Going() const { return link_.started.load() && link_.run.load() == run_; }
  TPelmora& p_;
  UsbSensorsLink& link_;
  const int run_;
};

}  // namespace pel::link
