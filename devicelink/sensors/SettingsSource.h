#pragma once
// Where the sensor texts and tables come from: the current user's registry in
// the component, an in-memory table in tests.
#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>

namespace pel::sensors {

class SettingsSource {
 public:
  virtual ~SettingsSource() = default;
  // The value's text; empty when the key or the value is missing.
  virtual std::string text(std::string_view key, std::string_view name) const = 0;
  // The value when it is stored as a number (a DWORD) rather than a text;
  // nullopt when it is missing or a text.
  virtual std::optional<std::uint32_t> storedNumber(std::string_view key, std::string_view name) const {
    (void)key;
    (void)name;
    return std::nullopt;
  }
};

// A value that must be a number and is not. The message names the key, the
// value and (the start of) what it holds.
class RegistryValueError : public std::runtime_error {
 public:
  RegistryValueError(std::string_view key, std::string_view name, std::string_view content);
};

// The value as a decimal integer: a stored number as it is, an empty or
// missing text as nullopt, any other text that is not a decimal integer
// throws RegistryValueError.
std::optional<int> readInteger(const SettingsSource& source, std::string_view key, std::string_view name);

}  // namespace pel::sensors
