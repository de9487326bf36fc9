#include "devicelink/sensors/RegistrySource.h"

#include "platform/Registry.h"

namespace pel::sensors {

std::string RegistrySource::text(std::string_view key, std::string_view name) const {
  return pel::reg::readString(pel::reg::Root::CurrentUser, key, name);
}

std::optional<std::uint32_t> RegistrySource::storedNumber(std::string_view key, std::string_view name) const {
  return pel::reg::readNumber(pel::reg::Root::CurrentUser, key, name);
}

}  // namespace pel::sensors
