#pragma once
// Questions about sensors answered from the registry: the language, the sensor
// names and units, the resolutions, the class lists and the multiple sensors.
// Every call reads anew; nothing is cached.
#include <string>
#include <string_view>

#include "devicelink/sensors/SettingsSource.h"

namespace pel::sensors {

inline constexpr int kFallbackLanguage = 1033;
inline constexpr double kDefaultResolution = 0.001;
// Range ordinal 3, which only USB sensors report.
inline constexpr double kUsbResolution = 0.000001;

class SensorRegistry {
 public:
  explicit SensorRegistry(const SettingsSource& source) : src_(source) {}

  // The language at construction: the system default, replaced by a non-zero
  // "LCID" of the Message key, then 1033 when that language has no texts,
  // else that language key's own "LCID" when present. Throws
  // RegistryValueError for an "LCID" that is not a number.
  int loadLanguageId(int systemDefault) const;
  // The language after SetLanguageID(value): unchanged when the language has
  // no texts. Throws RegistryValueError like loadLanguageId.
  int setLanguageId(int current, int value) const;

  // "Sensor<id>" of a class key ("SensorMultiRange", ...): 0 when missing.
  // Throws RegistryValueError when it is not a number.
  int classValue(int sensorId, std::string_view classKeyName) const;
  bool isMultiRange(int sensorId) const;
  bool isCalibratable(int sensorId) const;
  bool keepsSignInvert(int sensorId) const;  // listed in "SensorSignInvert"

  // Whether the class list named className in the Message key holds the id.
  // Blank, empty or non-numeric items match nothing; the rest still count.
  bool isPartOfSensor(int sensorId, std::string_view className) const;

  // Number of sub-sensors of a multiple sensor: 1 when it is not one.
  int findMultipleSensor(int sensorId) const;
  // The sub-IDs text of a multiple sensor; empty for any other sensor.
  std::string sensorSubId(int sensorId) const;

  // The stored texts, as the channel loads take them.
  std::string sensorName(int languageId, int sensorId) const;
  std::string sensorUnit(int languageId, int sensorId) const;
  // GetSensorName and GetSensorUnit: the stored texts cut by the rules below.
  std::string getSensorName(int languageId, int sensorId, bool full) const;
  std::string getSensorUnit(int languageId, int sensorId, bool full, bool name) const;
  // The resolution of a range ordinal 0..2; 0.001 when missing. Throws
  // RegistryValueError when it is not a number.
  double resolution(int sensorId, int rangeOrdinal) const;

 private:
  const SettingsSource& src_;
};

// GetSensorName's rule: with full the whole text, else the text before the
// first "(" (blanks before it kept), or the whole text when it has none.
std::string shortSensorName(std::string_view stored, bool full);
// GetSensorUnit's rule for a stored unit of the form "Name(unit)".
std::string sensorUnitPart(std::string_view stored, bool full, bool name);

// The class list test on its own: items split at ",", trimmed, compared as
// decimal integers; items that are not numbers are skipped.
bool classListHolds(std::string_view list, int sensorId);

}  // namespace pel::sensors
