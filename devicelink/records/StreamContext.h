#pragma once
// What the stream parsers read and update: a copy of the component's channel
// tables and acquisition settings plus the per-run counters. The component owns
// one StreamContext, changes it only on the thread that parses (the main
// thread), and fills the settings before each start.
#include <array>
#include <string>

#include "devicelink/records/Conversion.h"

namespace pel::records {

// Model states as the component keeps them.
inline constexpr int kModelSornII = 0;
inline constexpr int kModelAster = 1;
inline constexpr int kModelVaxo = 2;
inline constexpr int kModelUsbSensors = 3;
inline constexpr int kModelQor = 4;
inline constexpr int kModelTolemic = 5;
inline constexpr int kModelQor3 = 7;

// ExperimentMode values handled by the stream parsers.
inline constexpr int kExperimentNormal = 1;
inline constexpr int kExperimentFast = 2;
inline constexpr int kExperimentTiming = 3;

inline constexpr int kChannels = 8;

struct ChannelSetup {
  bool active = false;
  int rangeIndex = 0;  // SensorRangeType ordinal; 3 only for USB sensors
  std::array<double, 4> resolution{0.001, 0.001, 0.001, 0.000001};
  bool signInvert = false;
  bool photogate = false;

  // Resolution for the current range; an index outside 0 to 3 counts as 0.
  double Resolution() const {
    return (rangeIndex >= 0 && rangeIndex < 4) ? resolution[static_cast<size_t>(rangeIndex)] : 0.0;
  }
};

struct TimingState {
  char lastGate = '1';
  bool gateOn = false;
  int edgeCount = 0;
  double ticks = 0.0;
};

struct StreamContext {
  // Settings, copied from the component.
  int modelState = -1;
  bool mode8Port = false;  // GetModeFor8Port
  std::array<ChannelSetup, kChannels> channels{};
  ConvertTable convert{};
  double samplingTime = 0.2;
  int loopCount = 0;        // LoopCount
  int noOfData = 0;         // NoOfData, the planned count
  int maxRecordCount = 0;   // Max_Record_Count
  bool autoStop = false;
  bool setZeroMode = false;
  bool digitalInput = false;        // CHInputMode is Digital
  bool digitalTimmingMode = false;  // DigitalTimmingMode
  std::array<bool, 3> digitalTiming{true, false, false};  // SetDigitalTiming's options
  int noOfStroboSlit = 1;

  // Per-run state.
  int fastChannel = 0;
  int digitalChannel = 0;
  int recordCounter = 0;  // number of the last record delivered
  int timeCounter = 0;    // sample index of the time column
  std::array<TimingState, kChannels> timing{};

  int ChannelCount() const { return mode8Port ? 8 : 4; }
};

// Index of the last active channel, channel A (0) when none is active.
int LastActiveChannel(const StreamContext& ctx);

// What a start resets: both counters, every channel's timing state, and the
// fast and digital channels (the last active one, else A).
void ResetRunState(StreamContext& ctx);

// Run by the receive handler after every frame and by the fast parsers after
// every record: the time column restarts when it reaches LoopCount, unless
// LoopCount is the planned count itself.
void ApplyLoopCountRule(StreamContext& ctx);

// The slit count the timing stream can actually reach: edges are counted per
// run of a byte-sized counter, so the value is held to 1 to 255.
int EffectiveStroboSlit(int noOfStroboSlit);

// Receives the records the parsers build. Both calls come on the parsing thread.
class RecordSink {
 public:
  virtual ~RecordSink() = default;
  // DeliverRecord of the component: DataReceived, the recent-records list, a
  // pump. Returns false when the run ended meanwhile (a handler stopped it):
  // the parser then drops the rest of the frame.
  virtual bool DeliverRecord(const std::string& record) = 0;
  // The planned count is reached: the component runs Pelmora(false).
  virtual void AutoStop() = 0;
};

}  // namespace pel::records
