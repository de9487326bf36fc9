#pragma once
// How the two hosts' links differ, and the hooks where the other parts of the
// device link connect to its core.
#include <functional>

class TPelmora;

// The two hosts build the same link; they differ only in these values.
struct LinkFlavour {
  int replyWaitStepMs;      // sleep of each reply-wait pass
  int pauseBeforeIdentify;  // ms after the wake-up line on a user-set port
  bool fastQorOverCom;      // fast block frames from a Qor are taken over the COM port
  static LinkFlavour Studio() { return {5, 50, false}; }
  static LinkFlavour ActiveX() { return {10, 0, true}; }
};

// Where the other parts of the link connect: the stream parsers, the stop of
// a run, sensor identification and the USB sensor side. Unset hooks do
// nothing (a frame for an unset parser is dropped).
struct LinkHooks {
  std::function<void(TPelmora&)> analogFrame;    // ExperimentMode 1, and 2 at length 51
  std::function<void(TPelmora&)> fastBlock;      // ExperimentMode 2, block models
  std::function<void(TPelmora&)> fastSingle;     // ExperimentMode 2, length 75
  std::function<void(TPelmora&)> timingFrame;    // ExperimentMode 3
  std::function<void(TPelmora&)> endOfCapture;   // ExperimentMode 8
  std::function<void(TPelmora&)> loopCountRule;  // after each dispatched frame
  std::function<void(TPelmora&)> haltAcquisition;
  std::function<void(TPelmora&)> autoSensorId;
  std::function<void(TPelmora&)> enumerateUsbSensors;
  std::function<void(TPelmora&)> pollUsbSensors;
};
