#pragma once
// The device link's state kept once per process, beside the component: a
// process serves one TPelmora at a time. Touched on the main thread (and, for
// the USB side, by the USB polling thread while a run goes).
#include <array>
#include <atomic>
#include <string>

#include "devicelink/HighSpeedState.h"
#include "devicelink/ReceiveState.h"
#include "devicelink/sensors/SensorChannels.h"
#include "devicelink/usb/UsbSlots.h"

class TPelmora;

namespace pel::link {

struct LinkProcessState {
  int modelState = -1;

  // The one channel table: IDs, last loaded IDs, active flags, terminal-block
  // selections, names, units, resolutions, force-sensor and photogate flags.
  // The constructor resets IDs, flags and names; units, resolutions and the
  // class flags stay. Whether the terminal block is in use and the
  // sign-invert flags are the component's own fields.
  pel::sensors::SensorChannels sensors;
  std::array<unsigned char, 8> sensorRange{};           // SensorRangeType ordinals
  // The one digital channel: chosen by the start of a box run in Digital
  // mode and by the CHInputMode setter on USB sensors; the timing stream and
  // the USB start read it here. Not reset by the constructor.
  int digitalChannel = 0;
  std::array<int, 3> pinValue{50, 50, 50};  // PinValue1..3
  bool pwmOptionStored = false;
  std::array<bool, 3> digitalTimingOptions{true, false, false};

  ReceiveState receive;
  int memoryCounter = 0;
  int scopeCounter = 0;
  HighSpeedState highSpeed;  // captures, memory banks, scope reads

  bool useLibUsb = false;
  int usbTimeoutMs = 1000;
  int usbFoundCount = 0;
  // A USB poll pass runs (the timer poll's or the USB polling thread's).
  std::atomic<bool> usbBusy{false};
  std::atomic<bool> usbNewReading{false};  // also written by the USB polling thread
  using UsbSlot = pel::usb::UsbSlot;
  std::array<UsbSlot, 8> usbSlots{};
  bool usbCalibrationPending = false;
};

LinkProcessState& ProcessState();

}  // namespace pel::link
