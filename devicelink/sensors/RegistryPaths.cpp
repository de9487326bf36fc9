#include "devicelink/sensors/RegistryPaths.h"

#include "devicelink/sensors/TextNumbers.h"

namespace pel::sensors::paths {

std::string languageKey(int languageId) { return std::string(kMessageKey) + "\\" + decimal(languageId); }

std::string sensorInfoKey(int languageId) { return languageKey(languageId) + "\\SensorInfo"; }

std::string classKey(std::string_view className) {
  return std::string(kSettingsRoot) + "\\" + std::string(className);
}

std::string nameValue(int sensorId) { return "Name" + decimal(sensorId); }
std::string unitValue(int sensorId) { return "Unit" + decimal(sensorId); }
std::string classMemberValue(int sensorId) { return "Sensor" + decimal(sensorId); }

std::string resolutionValue(int sensorId, int rangeOrdinal) {
  return "Resolution" + decimal(sensorId) + "_" + decimal(rangeOrdinal + 1);
}

}  // namespace pel::sensors::paths
