#pragma once
// ExportTexts over the program's two registry readers, with the key paths
// and sections the export uses.

#include <functional>
#include <string>

#include "highspeed/export/ExportSource.h"

namespace quillon {

// ReadRegString(key path below HKEY_CURRENT_USER, value name).
using ReadRegStringFn = std::function<std::string(const std::string& keyPath, const std::string& valueName)>;
// GetLocalizedText(language number, key, section 1 "\MainDialog", 2 "\MainProcess", 3 "\Message").
using LocalizedTextFn = std::function<std::string(unsigned language, const std::string& key, int section)>;

class RegistryExportTexts : public ExportTexts {
 public:
  RegistryExportTexts(unsigned language, ReadRegStringFn readRegString, LocalizedTextFn localizedText);

  std::string RunExperimentText(const std::string& name) const override;
  std::string UnitText(std::int32_t sensorId) const override;
  std::string MessageText(const std::string& key) const override;
  std::string MainProcessText(const std::string& key) const override;

 private:
  // "Software\VB and VBA Program Settings\Pelmora\Message\<language>\<section>",
  // the language number as it is, without the fallback to 1033.
  std::string MessageKey(const char* section) const;

  unsigned language_;
  ReadRegStringFn readRegString_;
  LocalizedTextFn localizedText_;
};

}  // namespace quillon
