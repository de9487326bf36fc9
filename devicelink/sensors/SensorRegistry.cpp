#include "devicelink/sensors/SensorRegistry.h"

#include "devicelink/LinkFraming.h"
#include "devicelink/sensors/RegistryPaths.h"
#include "devicelink/sensors/TextNumbers.h"

namespace pel::sensors {

int SensorRegistry::loadLanguageId(int systemDefault) const {
  int id = systemDefault;
  if (const auto start = readInteger(src_, paths::kMessageKey, paths::kLcid); start && *start != 0) id = *start;
  const std::string key = paths::languageKey(id);
  if (src_.text(key, paths::kLanguage).empty()) return kFallbackLanguage;
  if (const auto named = readInteger(src_, key, paths::kLcid)) id = *named;
  return id;
}

int SensorRegistry::setLanguageId(int current, int value) const {
  const std::string key = paths::languageKey(value);
  if (src_.text(key, paths::kLanguage).empty()) return current;
  return readInteger(src_, key, paths::kLcid).value_or(value);
}

int SensorRegistry::classValue(int sensorId, std::string_view classKeyName) const {
  return readInteger(src_, paths::classKey(classKeyName), paths::classMemberValue(sensorId)).value_or(0);
}

bool SensorRegistry::isMultiRange(int sensorId) const { return classValue(sensorId, paths::kSensorMultiRange) >= 1; }

bool SensorRegistry::isCalibratable(int sensorId) const {
  return classValue(sensorId, paths::kSensorCalibration) >= 1;
}

bool SensorRegistry::keepsSignInvert(int sensorId) const {
  return classValue(sensorId, paths::kSensorSignInvert) >= 1;
}

bool classListHolds(std::string_view list, int sensorId) {
  for (const auto& field : pel::link::SplitFields(trimBlanks(list), ',')) {
    if (const auto v = parseDecimalInt(trimBlanks(field)); v && *v == sensorId) return true;
  }
  return false;
}

bool SensorRegistry::isPartOfSensor(int sensorId, std::string_view className) const {
  return classListHolds(src_.text(paths::kMessageKey, className), sensorId);
}

int SensorRegistry::findMultipleSensor(int sensorId) const {
  const std::string subs = src_.text(paths::kMultipleSensorKey, decimal(sensorId));
  if (subs.empty()) return 1;
  return static_cast<int>(pel::link::SplitFields(subs, ',').size());
}

std::string SensorRegistry::sensorSubId(int sensorId) const {
  if (findMultipleSensor(sensorId) <= 1) return {};
  return src_.text(paths::kMultipleSensorKey, decimal(sensorId));
}

std::string SensorRegistry::sensorName(int languageId, int sensorId) const {
  return src_.text(paths::sensorInfoKey(languageId), paths::nameValue(sensorId));
}

std::string SensorRegistry::sensorUnit(int languageId, int sensorId) const {
  return src_.text(paths::sensorInfoKey(languageId), paths::unitValue(sensorId));
}

std::string SensorRegistry::getSensorName(int languageId, int sensorId, bool full) const {
  return shortSensorName(sensorName(languageId, sensorId), full);
}

std::string SensorRegistry::getSensorUnit(int languageId, int sensorId, bool full, bool name) const {
  return sensorUnitPart(sensorUnit(languageId, sensorId), full, name);
}

double SensorRegistry::resolution(int sensorId, int rangeOrdinal) const {
  const std::string name = paths::resolutionValue(sensorId, rangeOrdinal);
  const std::string t = src_.text(paths::kSensorResolutionKey, name);
  if (t.empty()) return kDefaultResolution;
  const auto v = parsePointNumber(t);
  if (!v) throw RegistryValueError(paths::kSensorResolutionKey, name, t);
  return *v;
}

std::string shortSensorName(std::string_view stored, bool full) {
  if (full) return std::string(stored);
  return std::string(stored.substr(0, stored.find('(')));
}

std::string sensorUnitPart(std::string_view stored, bool full, bool name) {
  if (full) return std::string(stored);
  const std::size_t open = stored.find('(');
  if (open == std::string_view::npos) return std::string(stored);
  const std::size_t close = stored.find(')', open + 1);
  if (close == std::string_view::npos) return std::string(stored);
  if (name) return std::string(stored.substr(0, open));
  return std::string(stored.substr(open + 1, close - open - 1));
}

}  // namespace pel::sensors
