#pragma once
#include <functional>
#include <string>

#include "devicelink/records/RecentRecords.h"
#include "devicelink/records/StreamContext.h"

class TPelmora;

namespace pel::link {

// The run side of the component: the stream parsers' context, the recent
// records and the start's and stop's bookkeeping.
struct RunParts {
  // The stream context reads the component's fields through streamFields,
  // set once when the component is built.
  pel::records::StreamFields streamFields;
  pel::records::StreamContext stream;   // main thread only
  pel::records::RecentRecords recent;   // locked: the USB thread appends too
  // Sensor class test of the registry tables: (class name, sensor id).
  std::function<bool(const std::string&, int)> sensorInClass;
  // Model state 3: sends the start packets and starts the USB sensors;
  // unset until the USB sensor side is wired in.
  std::function<void(TPelmora&)> startUsbSensors;
  std::function<void(TPelmora&)> stopUsbSensors;
  int scopeRows = 20;      // rows of a scope read, 20 to 32
  // All main thread:
  int stopCount = 0;       // HaltAcquisition calls; a parser's run ended when it moves
  bool starting = false;   // a start sequence runs (it pumps)
  bool stopDuringStart = false;
  int startError = 0;      // the last error this start raised
};

}  // namespace pel::link
