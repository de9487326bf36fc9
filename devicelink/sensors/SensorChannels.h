#pragma once
// The per-channel sensor tables the component holds (index 0 is channel A,
// 7 is H) and the loads that fill them from the registry.
#include <array>
#include <string>

#include "devicelink/sensors/SensorRegistry.h"

namespace pel::sensors {

inline constexpr int kChannels = 8;
inline constexpr int kRangeOrdinals = 4;

struct SensorChannel {
  int sensorId = 0;      // 0 no sensor; -1 no USB sensor in that slot
  int lastLoadedId = 0;  // the ID whose texts were loaded last
  bool active = false;
  bool terminalSelection = false;  // set through CHA..CHD while a terminal block is in use
  std::string name;
  std::string unit;
  // Indexed by the range ordinal: Full_Range, General_Purpose, Sensitivae_Range, USB.
  std::array<double, kRangeOrdinals> resolution{kDefaultResolution, kDefaultResolution, kDefaultResolution,
                                                kUsbResolution};
  bool forceSensor = false;
  bool photogate = false;
};

// Held once per process by the component and used on the host's main thread
// only (the identification, the channel setters, the record builders).
struct SensorChannels {
  std::array<SensorChannel, kChannels> ch;
};

// The sign-invert flag of each channel. They belong to the component
// instance (a new component starts with them cleared), not to the table
// above: the loads change them where the instance keeps them.
using SignInvertFlags = std::array<bool, kChannels>;

// LoadSensorInfo: names, units, resolutions and the sign-invert rule for
// channels A..D, looked up by the given IDs (callers pass the current ones,
// active or not; sensorId itself is left alone). A resolution that is not a
// number throws RegistryValueError; what was loaded before it stays.
void loadSensorInfo(const SensorRegistry& reg, int languageId, SensorChannels& t, SignInvertFlags& signInvert,
                    const std::array<int, 4>& idsAtoD);
// LoadChannelSensorInfo: the same for one channel 0..7 with its own sensorId.
void loadChannelSensorInfo(const SensorRegistry& reg, int languageId, SensorChannels& t,
                           SignInvertFlags& signInvert, int channel);

// The end of an identification: when any of the eight IDs differs from the
// last loaded one, reload all eight channels' texts and resolutions, note
// the IDs as loaded and set the force-sensor and photogate flags. Returns
// whether it reloaded.
bool reloadIfChanged(const SensorRegistry& reg, int languageId, SensorChannels& t, SignInvertFlags& signInvert);

// GetSensorList: the IDs of A..D (A..H in 8-port mode) joined by ",", with -1
// for a channel without a sensor; with a terminal block in use, 0 for a
// selected channel and -1 otherwise. Empty for model states other than 0..5
// and 7.
std::string sensorList(int modelState, bool mode8Port, bool terminalBlockUse, const SensorChannels& t);

}  // namespace pel::sensors
