#pragma once
// The sensor settings as the current user's registry holds them.
#include "devicelink/sensors/SettingsSource.h"

namespace pel::sensors {

class RegistrySource final : public SettingsSource {
 public:
  std::string text(std::string_view key, std::string_view name) const override;
  // A REG_DWORD value ("LCID" written as a number).
  std::optional<std::uint32_t> storedNumber(std::string_view key, std::string_view name) const override;
};

}  // namespace pel::sensors
