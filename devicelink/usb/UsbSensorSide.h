#pragma once
// The USB sensors as one interface: packets to and from each sensor, the
// enumeration that assigns sensors to channels through the stored slot list,
// the poll pass that collects readings, the start and stop of the sensors and
// the sending of a pending calibration.
//
// Threads: every call may come from the host's main thread; the poll pass
// also from the USB polling thread while a run goes. One recursive lock
// guards this object's buffers and serialises every bus transfer; it is never
// held while records are delivered (PassSink::Record), so a handler may stop
// the run from either thread. The tables handed in at construction belong to
// the component; this object writes the slots, found count and ranges only
// in Enumerate (main thread, never during a run) and the readings (atomics)
// under its lock.
#include <array>
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

#include "devicelink/setup/CalibrationHandOver.h"
#include "devicelink/usb/UsbCommands.h"
#include "devicelink/usb/UsbRecord.h"
#include "devicelink/usb/UsbReply.h"
#include "devicelink/usb/UsbSlots.h"

namespace pel::usb {

inline constexpr std::size_t kReadChunk = 1024;
inline constexpr std::size_t kReceiveBuffer = 1025;

// Vantiro or libusb, as the sensors are reached.
class UsbSensorBus {
 public:
  virtual ~UsbSensorBus() = default;
  // Devices present. May throw (the library's driver-handle failure).
  virtual int Count() = 0;
  // Close and open every device again, pumping the host's loop after each.
  // May throw.
  virtual void Reopen() = 0;
  // False when the packet did not go out (a library exception included).
  virtual bool Write(int device, const std::string& packet) = 0;
  // Bytes read, up to max; 0 for none, a failure or an exception.
  virtual std::size_t Read(int device, std::uint8_t* buffer, std::size_t max) = 0;
  // libusb: a reply is read until the bus goes quiet.
  virtual bool ReadsUntilSilent() const = 0;
  virtual void Pump() = 0;
};

// The slot identifiers kept between runs.
class UsbSlotStore {
 public:
  virtual ~UsbSlotStore() = default;
  virtual std::array<std::string, kSlots> Load() = 0;
  virtual void Save(const std::array<std::string, kSlots>& ids) = 0;
};

struct TimeOfDay {
  int minutes = 0, seconds = 0, milliseconds = 0;
};

// What the component keeps of the USB side (per process).
struct UsbTables {
  UsbSlotTable& slots;
  int& foundCount;
  std::array<unsigned char, 8>& sensorRange;
  std::array<std::atomic<double>, 8>& latest;
  std::atomic<bool>& newReading;
};

// Where a poll pass hands its readings.
class PassSink {
 public:
  virtual ~PassSink() = default;
  // Builds and delivers the record of these readings; false when the run
  // ended, after which the pass builds no more records.
  virtual bool Record(const std::array<double, 8>& readings) = 0;
  // Whether the pass goes on with another round (the polling thread during
  // a run); the pending calibration is checked by the pass itself.
  virtual bool Repeat() = 0;
};

struct IdentifiedSlots {
  std::array<int, kSlots> ids{-1, -1, -1, -1, -1, -1, -1, -1};
  std::array<bool, kSlots> active{};
};

class UsbSensorSide {
 public:
  UsbSensorSide(UsbSensorBus& bus, UsbSlotStore& store, UsbTables tables, std::function<TimeOfDay()> clock);

  bool Write(int device, const UsbCommand& c);
  // With wait: reads a reply (one read; on libusb until quiet, or only once
  // when duringRun) into the receive buffer of position and returns its text
  // when it completed. Without: drains the device. position -1: the
  // device's own index.
  std::string Read(int device, bool wait, bool duringRun = false, int position = -1);
  // Bytes from the device of slot k went into buffer k.
  bool PollPosition(int k);

  // force false: nothing happens while the number of devices is unchanged.
  // The bus's count, close and open failures reach the caller.
  void Enumerate(bool force);

  // Sensor IDs per slot (Enumerate unforced first, then each slot asked);
  // a failing slot re-enumerates forced and goes on.
  IdentifiedSlots Identify();

  // Part of a run's start: the set-up packets to each position's sensor,
  // its latest reading cleared. digitalChannel is the position that times in
  // digital input mode (base.digitalPosition is ignored).
  void SetUpRun(RunSetup base, bool digitalInput, int digitalChannel);
  // Start: the start packet to every position (to the digital one only in
  // digital input mode). Stop: the stop packet to every position, then every
  // device drained. counters.record goes to -1 on a start at 0.5 s or less.
  void StartSensors(bool start, bool digitalInput, int digitalChannel, double samplingTime,
                    UsbRunCounters& counters);

  // One poll pass (repeated while sink.Repeat() and no calibration waits),
  // then a pending calibration goes to its channel's sensor.
  void PollPass(bool digitalInput, PassSink& sink, setup::CalibrationHandOver& calibration);

  // GetCurrentValue's readings: each position's sensor asked once.
  std::array<double, 8> CurrentReadings(bool duringRun);

  std::string ReplyText(int position) const;

 private:
  void Parse(int position);
  void Append(int position, const std::uint8_t* bytes, std::size_t n);
  void Drain(int device, int position);
  void SendCalibration(setup::CalibrationHandOver& calibration);

  UsbSensorBus& bus_;
  UsbSlotStore& store_;
  UsbTables t_;
  std::function<TimeOfDay()> clock_;
  mutable std::recursive_mutex m_;  // guards everything below and the bus
  std::array<std::vector<std::uint8_t>, 8> buffers_;
  std::array<std::string, 8> replies_;
  std::array<std::vector<double>, 8> series_;  // the last series reply of each position
};

}  // namespace pel::usb
