#pragma once
// The state of the device link that the set-up rules read and change. The
// rules work through a SetupView: references to fields owned elsewhere (the
// component's own fields, or a SetupState in a test), so what a rule changes
// is changed in place; nothing here touches Windows.

#include <array>
#include <cstdint>
#include <string>

namespace pel::setup {

enum class CHInput : std::uint8_t { Digital, Analog, Scope };

enum class PWMOption : std::uint8_t {
  PWM,
  DC_Valtage,
  Sine_Wave,
  Square_Wave,
  Pyramidal_Wave,
  Sawtooth_Wave_Ramp_Up,
  Sawtooth_Wave_Ramp_Down,
};

enum class SensorRangeType : std::uint8_t { Full_Range, General_Purpose, Sensitivae_Range };

// Model state of the link.
namespace model {
inline constexpr int None = -1;
inline constexpr int SornII = 0;
inline constexpr int Aster = 1;
inline constexpr int Vaxo = 2;
inline constexpr int UsbSensors = 3;
inline constexpr int Qor = 4;
inline constexpr int Tolemic = 5;
inline constexpr int Qor3 = 7;
inline constexpr int Unnamed = 9;

// The interfaces that speak the command protocol.
constexpr bool IsBox(int m) { return m == SornII || m == Aster || m == Vaxo || m == Qor || m == Tolemic || m == Qor3; }
}  // namespace model

// Error numbers raised by the set-up rules (0 is success).
namespace error {
inline constexpr int None = 0;
inline constexpr int SamplingTooShort = 7;
inline constexpr int DigitalRefused = 9;
inline constexpr int ZeroInactiveChannel = 10;
// Calibration points give no finite coefficients (equal readings, a zero
// determinant): the call fails and the previous calibration stays.
inline constexpr int CalibrationUnsolvable = 11;
inline constexpr int BadChannel = 12;
inline constexpr int NotMultiRange = 13;
inline constexpr int BadRange = 14;
inline constexpr int OverSamplingTooLarge = 15;
inline constexpr int NoOutputStored = 18;
inline constexpr int TerminalOrZeroMode = 19;
inline constexpr int LinkBusy = 22;
inline constexpr int OutputRefused = 27;
}  // namespace error

inline constexpr int kChannels = 8;
inline constexpr double kTimingResolution = 0.000001;
inline constexpr const char* kTimingUnit = "Time(s)";

struct ChannelState {
  bool active = false;
  bool terminalBlockSelection = false;
  int sensorId = 0;
  std::string name;
  std::string unit;
  // Range ordinal; USB sensors may report 3, box interfaces use 0 to 2.
  unsigned char range = 0;
  // Indexed by the range ordinal 0 to 3.
  std::array<double, 4> resolution{};
  bool signInvert = false;
};

struct SetupView;

struct SetupState {
  int model = model::None;
  int runningMode = -1;

  double samplingTime = 0.2;
  double experimentLength = 10.0;
  int noOfData = 51;
  int loopCount = 0;
  bool autoStop = false;
  int maxRecordCount = 50000;
  bool fastSamplingMode = false;
  int noOfOverSampling = 0;

  CHInput chInputMode = CHInput::Analog;
  bool getModeFor8Port = false;
  bool digitalTimmingMode = false;
  int noOfStroboSlit = 1;
  // USB sensors: the one channel timed in digital input mode.
  int digitalChannel = 0;
  // Channel whose texts the Digital mode replaced with the timing label, -1 none;
  // leaving Digital gives it back its sensor's unit and resolutions.
  int timingLabelChannel = -1;

  bool chOutput = false;
  bool terminalBlockUse = false;
  bool setZeroMode = false;
  bool run = false;

  PWMOption aControlIndex = PWMOption::PWM;
  bool pwmOptionStored = false;
  int pwmFreqValue = 500;
  bool pwmFreqSelect = false;
  std::array<int, 3> pinValue{50, 50, 50};

  std::array<ChannelState, kChannels> channels{};

  // Lets a test hand its own state to a rule; only an lvalue has a view.
  operator SetupView() &;
};

// One channel's fields, wherever they live.
struct ChannelView {
  bool& active;
  bool& terminalBlockSelection;
  int& sensorId;
  std::string& name;
  std::string& unit;
  unsigned char& range;
  std::array<double, 4>& resolution;
  bool& signInvert;
};

// The fields the rules work on, by reference; a view is cheap to make and
// never owns what it names.
struct SetupView {
  int& model;
  int& runningMode;

  double& samplingTime;
  double& experimentLength;
  int& noOfData;
  int& loopCount;
  bool& autoStop;
  int& maxRecordCount;
  bool& fastSamplingMode;
  int& noOfOverSampling;

  CHInput& chInputMode;
  bool& getModeFor8Port;
  bool& digitalTimmingMode;
  int& noOfStroboSlit;
  int& digitalChannel;
  int& timingLabelChannel;

  bool& chOutput;
  bool& terminalBlockUse;
  bool& setZeroMode;
  bool& run;

  PWMOption& aControlIndex;
  bool& pwmOptionStored;
  int& pwmFreqValue;
  bool& pwmFreqSelect;
  std::array<int, 3>& pinValue;

  std::array<ChannelView, kChannels> channels;
};

// A view of a SetupState (the native tests' own storage).
SetupView View(SetupState& s);

// What the sensor tables (loaded from the registry elsewhere) say about a sensor.
struct SensorInfo {
  std::string name;
  std::string unit;
  std::array<double, 3> resolution{0.001, 0.001, 0.001};
};

// Registry sensor classes the rules test.
inline constexpr const char* kClassMultiRange = "SensorMultiRange";
inline constexpr const char* kClassCalibration = "SensorCalibration";
inline constexpr const char* kClassAnalogModule = "AnalogModule";

class SensorCatalog {
 public:
  virtual ~SensorCatalog() = default;
  // Name, unit and resolutions of a sensor, with the registry's defaults applied.
  virtual SensorInfo Describe(int sensorId) const = 0;
  virtual bool InClass(const std::string& className, int sensorId) const = 0;
};

}  // namespace pel::setup
