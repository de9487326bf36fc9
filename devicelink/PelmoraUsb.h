#pragma once
// The component's USB sensor side: the bus over the USB libraries of the link
// environment, the slot list in the registry, the sensor logic of
// devicelink/usb and the USB polling thread.
//
// Ownership and threads: TPelmora owns one UsbSensorsLink (usb_), made in its
// constructor and ended first in its destructor, which joins the polling
// thread. Every member is used on the host's main thread, except that during
// a run in thread mode the polling thread runs passes over the sensor logic
// (which locks its own state), the run counters (under their lock), its
// settings snapshot and the flags below, which are atomics. The main thread
// hands the snapshot over before each resume, while no pass runs (the busy
// flag). A pass belongs to the run it began in: once that run stops (from
// its own handler too), the pass makes no more records.
#include <atomic>
#include <memory>
#include <mutex>
#include <string>

#include "devicelink/Pelmora.h"
#include "devicelink/UsbWatchThread.h"
#include "devicelink/records/StreamContext.h"
#include "devicelink/usb/UsbRecord.h"
#include "devicelink/usb/UsbSensorSide.h"

namespace pel::link {

// HKCU "\Software\Pelmora\USBSensor\Enum\", values "0" to "7".
inline constexpr const char* kUsbSlotKey = "\\Software\\Pelmora\\USBSensor\\Enum\\";

class UsbSensorsLink {
 public:
  UsbSensorsLink(TPelmora& p, UsbLibraries& libs);
  ~UsbSensorsLink();

  class Bus final : public usb::UsbSensorBus {
   public:
    Bus(TPelmora& p, UsbLibraries& libs) : p_(p), libs_(libs) {}
    int Count() override;
    void Reopen() override;
    bool Write(int device, const std::string& packet) override;
    std::size_t Read(int device, std::uint8_t* buffer, std::size_t max) override;
    bool ReadsUntilSilent() const override;
    void Pump() override;

   private:
    TPelmora& p_;
    UsbLibraries& libs_;
  };
  class RegistryStore final : public usb::UsbSlotStore {
   public:
    std::array<std::string, usb::kSlots> Load() override;
    void Save(const std::array<std::string, usb::kSlots>& ids) override;
  };

  // A run of thread-mode passes, as the main thread hands it over.
  struct ThreadRun {
    records::StreamContext ctx;  // a snapshot that owns its settings: deliberately not the live view
    TEventDataReceived handler;
    bool digitalInput = false;
  };

  Bus bus;
  RegistryStore store;
  usb::UsbSensorSide side;
  ThreadRun threadRun;  // written by the main thread only while no pass runs
  std::atomic<bool> started{false};        // the sensors were started and not stopped
  std::atomic<bool> stopRequested{false};  // the polling thread's last record ended the run
  std::atomic<int> run{0};                 // counts starts and stops: the run a pass belongs to

  // The record and time counters of the run, under their lock (the main
  // thread's start and timer passes, the polling thread's passes).
  template <class F>
  auto WithCounters(F&& f) {
    std::lock_guard lock(countersLock_);
    return f(counters_);
  }

  void ThreadPass();
  TWatchThread& Watch() { return *watch_; }

 private:
  TPelmora& p_;
  std::mutex countersLock_;
  usb::UsbRunCounters counters_;         // guarded by countersLock_
  std::unique_ptr<TWatchThread> watch_;  // last: joined before the rest goes
};

}  // namespace pel::link
