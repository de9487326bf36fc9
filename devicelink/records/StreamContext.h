#pragma once
// What the stream parsers read and update: the channel tables and acquisition
// settings plus the per-run counters. The component's context refers to the
// component's own fields (StreamFields, set once when it is built), so the
// parsers always read the live values; a context without them reads the values
// it owns (tests, and the USB polling thread's copy). The component owns one
// StreamContext and changes it only on the thread that parses (the main thread).
#include <array>
#include <cstddef>
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

// The settings as values: a context without StreamFields reads these.
struct StreamSettings {
  int modelState = -1;
  bool mode8Port = false;  // GetModeFor8Port
  std::array<ChannelSetup, kChannels> channels{};
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
  int digitalChannel = 0;  // the channel timed in the timing stream
};

// Where the component keeps each setting; every pointer is set and outlives
// the context.
struct StreamFields {
  const int* modelState = nullptr;
  const bool* mode8Port = nullptr;
  // Channel c's settings, read from where the component keeps them.
  ChannelSetup (*channel)(const void* owner, int c) = nullptr;
  const double* samplingTime = nullptr;
  const int* loopCount = nullptr;
  const int* noOfData = nullptr;
  const int* maxRecordCount = nullptr;
  const bool* autoStop = nullptr;
  const bool* setZeroMode = nullptr;
  bool (*digitalInput)(const void* owner) = nullptr;  // CHInputMode is Digital
  const bool* digitalTimmingMode = nullptr;
  const std::array<bool, 3>* digitalTiming = nullptr;
  const int* noOfStroboSlit = nullptr;
  // The link's one digital channel: chosen by the start of a box run and by
  // the input-mode setter on USB sensors, kept per process.
  const int* digitalChannel = nullptr;
  const void* owner = nullptr;  // handed to channel and digitalInput
};

struct StreamContext {
  // Settings: the component's fields when set, else the owned values.
  const StreamFields* fields = nullptr;
  StreamSettings own;
  ConvertTable convert{};

  // Per-run state.
  int fastChannel = 0;
  int recordCounter = 0;  // number of the last record delivered
  int timeCounter = 0;    // sample index of the time column
  std::array<TimingState, kChannels> timing{};

  int modelState() const { return fields ? *fields->modelState : own.modelState; }
  bool mode8Port() const { return fields ? *fields->mode8Port : own.mode8Port; }
  ChannelSetup channel(int c) const {
    return fields ? fields->channel(fields->owner, c) : own.channels[static_cast<std::size_t>(c)];
  }
  double samplingTime() const { return fields ? *fields->samplingTime : own.samplingTime; }
  int loopCount() const { return fields ? *fields->loopCount : own.loopCount; }
  int noOfData() const { return fields ? *fields->noOfData : own.noOfData; }
  int maxRecordCount() const { return fields ? *fields->maxRecordCount : own.maxRecordCount; }
  bool autoStop() const { return fields ? *fields->autoStop : own.autoStop; }
  bool setZeroMode() const { return fields ? *fields->setZeroMode : own.setZeroMode; }
  bool digitalInput() const { return fields ? fields->digitalInput(fields->owner) : own.digitalInput; }
  bool digitalTimmingMode() const { return fields ? *fields->digitalTimmingMode : own.digitalTimmingMode; }
  const std::array<bool, 3>& digitalTiming() const { return fields ? *fields->digitalTiming : own.digitalTiming; }
  int noOfStroboSlit() const { return fields ? *fields->noOfStroboSlit : own.noOfStroboSlit; }
  int digitalChannel() const { return fields ? *fields->digitalChannel : own.digitalChannel; }

  int ChannelCount() const { return mode8Port() ? 8 : 4; }

  // A context that owns the current values of every setting and the run
  // state: what another thread may read while the fields change.
  StreamContext Snapshot() const;
};

// Index of the last active channel, channel A (0) when none is active.
int LastActiveChannel(const StreamContext& ctx);

// What a start resets: both counters, every channel's timing state, and the
// fast channel (the last active one, else A). The digital channel is not
// the run's: the start chooses it where the link keeps it.
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
