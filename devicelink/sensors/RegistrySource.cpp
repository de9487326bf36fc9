#include "devicelink/sensors/RegistrySource.h"

#include "platform/Registry.h"

namespace pel::sensors {

std::string RegistrySource::text(std::string_view key, std::string_view name) const {
  return pel::reg::readString(pel::reg::Root::CurrentUser, key, name);
}

}  // namespace pel::sensors
