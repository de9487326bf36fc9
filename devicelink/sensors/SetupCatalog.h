#pragma once
// The set-up rules' view of the sensors, answered from the registry in the
// component's current language.
#include "devicelink/sensors/SensorRegistry.h"
#include "devicelink/setup/SetupTypes.h"

namespace pel::sensors {

class SetupCatalog final : public pel::setup::SensorCatalog {
 public:
  // languageId is the component's field, read at every call, so a later
  // SetLanguageID is followed.
  SetupCatalog(const SensorRegistry& reg, const int& languageId) : reg_(reg), languageId_(languageId) {}

  // A resolution that is not a number gives the default here: the set-up
  // rules run inside property setters, which must not fail on it.
  pel::setup::SensorInfo Describe(int sensorId) const override;
  // Class keys ("SensorMultiRange", "SensorCalibration", "SensorSignInvert")
  // by their "Sensor<id>" value, any other name as a list in the Message key.
  // A class value that is not a number counts as not in the class.
  bool InClass(const std::string& className, int sensorId) const override;

 private:
  const SensorRegistry& reg_;
  const int& languageId_;
};

}  // namespace pel::sensors
