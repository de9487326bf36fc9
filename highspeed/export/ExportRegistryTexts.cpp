#include "highspeed/export/ExportRegistryTexts.h"

#include <utility>

namespace quillon {

RegistryExportTexts::RegistryExportTexts(unsigned language, ReadRegStringFn readRegString,
                                         LocalizedTextFn localizedText)
    : language_(language), readRegString_(std::move(readRegString)), localizedText_(std::move(localizedText)) {}

std::string RegistryExportTexts::MessageKey(const char* section) const {
  return "Software\\VB and VBA Program Settings\\Pelmora\\Message\\" + std::to_string(language_) + "\\" + section;
}

std::string RegistryExportTexts::RunExperimentText(const std::string& name) const {
  return readRegString_ ? readRegString_(MessageKey("RunExperimentDialog"), name) : std::string();
}

std::string RegistryExportTexts::UnitText(std::int32_t sensorId) const {
  return readRegString_ ? readRegString_(MessageKey("SensorInfo"), "Unit" + std::to_string(sensorId))
                        : std::string();
}

std::string RegistryExportTexts::MessageText(const std::string& key) const {
  return localizedText_ ? localizedText_(language_, key, 3) : std::string();
}

std::string RegistryExportTexts::MainProcessText(const std::string& key) const {
  return localizedText_ ? localizedText_(language_, key, 2) : std::string();
}

}  // namespace quillon
