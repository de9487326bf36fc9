#include "devicelink/sensors/SetupCatalog.h"

#include "devicelink/sensors/RegistryPaths.h"

namespace pel::sensors {

pel::setup::SensorInfo SetupCatalog::Describe(int sensorId) const {
  pel::setup::SensorInfo info;
  info.name = reg_.sensorName(languageId_, sensorId);
  info.unit = reg_.sensorUnit(languageId_, sensorId);
  for (int r = 0; r < 3; ++r) {
    try {
      info.resolution[r] = reg_.resolution(sensorId, r);
    } catch (const RegistryValueError&) {
      info.resolution[r] = kDefaultResolution;
    }
  }
  return info;
}

bool SetupCatalog::InClass(const std::string& className, int sensorId) const {
  if (className == paths::kSensorMultiRange || className == paths::kSensorCalibration ||
      className == paths::kSensorSignInvert) {
    try {
      return reg_.classValue(sensorId, className) >= 1;
    } catch (const RegistryValueError&) {
      return false;
    }
  }
  return reg_.isPartOfSensor(sensorId, className);
}

}  // namespace pel::sensors
