#include "devicelink/sensors/SettingsSource.h"

#include "devicelink/sensors/TextNumbers.h"

namespace pel::sensors {
namespace {

std::string describe(std::string_view key, std::string_view name, std::string_view content) {
  // Registry content can be any length: quote only its start.
  constexpr std::size_t kShown = 40;
  std::string shown(content.substr(0, kShown));
  if (content.size() > kShown) shown += "...";
  return "registry value \"" + std::string(name) + "\" of \"" + std::string(key) + "\" is not a number: \"" +
         shown + "\"";
}

}  // namespace

RegistryValueError::RegistryValueError(std::string_view key, std::string_view name, std::string_view content)
    : std::runtime_error(describe(key, name, content)) {}

std::optional<int> readInteger(const SettingsSource& source, std::string_view key, std::string_view name) {
  if (const auto n = source.storedNumber(key, name)) return static_cast<int>(*n);
  const std::string t = source.text(key, name);
  if (t.empty()) return std::nullopt;
  const auto v = parseDecimalInt(t);
  if (!v) throw RegistryValueError(key, name, t);
  return v;
}

}  // namespace pel::sensors
