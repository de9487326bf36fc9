#pragma once
// Keys and value names of the sensor texts, tables and classes in the current
// user's registry. The workbook side and its installer write them; the device
// link only reads them.
#include <string>
#include <string_view>

namespace pel::sensors::paths {

inline constexpr std::string_view kSettingsRoot = "\\Software\\VB and VBA Program Settings\\Pelmora";
inline constexpr std::string_view kMessageKey = "\\Software\\VB and VBA Program Settings\\Pelmora\\Message";
inline constexpr std::string_view kSensorResolutionKey =
    "\\Software\\VB and VBA Program Settings\\Pelmora\\SensorResolution";
inline constexpr std::string_view kMultipleSensorKey =
    "\\Software\\VB and VBA Program Settings\\Orvane\\MultipleSensor";

// Class lists in the Message key.
inline constexpr std::string_view kForceSensor = "ForceSensor";
inline constexpr std::string_view kAnalogModule = "AnalogModule";
inline constexpr std::string_view kDigitalModule = "DigitalModule";
inline constexpr std::string_view kPowerModule = "PowerModule";
inline constexpr std::string_view kPhotoGateSensor = "PhotoGateSensor";

// Class keys holding "Sensor<id>" values.
inline constexpr std::string_view kSensorMultiRange = "SensorMultiRange";
inline constexpr std::string_view kSensorCalibration = "SensorCalibration";
inline constexpr std::string_view kSensorSignInvert = "SensorSignInvert";

inline constexpr std::string_view kLcid = "LCID";
inline constexpr std::string_view kLanguage = "Language";

// "...\Message\<languageId>"
std::string languageKey(int languageId);
// "...\Message\<languageId>\SensorInfo"
std::string sensorInfoKey(int languageId);
// "...\Pelmora\<className>"
std::string classKey(std::string_view className);

// "Name<id>", "Unit<id>", "Sensor<id>"
std::string nameValue(int sensorId);
std::string unitValue(int sensorId);
std::string classMemberValue(int sensorId);
// "Resolution<id>_1" .. "_3" for range ordinals 0 .. 2.
std::string resolutionValue(int sensorId, int rangeOrdinal);

}  // namespace pel::sensors::paths
