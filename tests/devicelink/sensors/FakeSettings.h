#pragma once
// An in-memory registry for the sensor logic: exact key paths and value
// names, so a misspelt path reads as missing.
#include <cstdint>
#include <map>
#include <string>
#include <utility>

#include "devicelink/sensors/SettingsSource.h"

namespace pel::sensors::testing {

inline const std::string kRoot = "\\Software\\VB and VBA Program Settings\\Pelmora";
inline const std::string kMessage = kRoot + "\\Message";
inline const std::string kResolution = kRoot + "\\SensorResolution";
inline const std::string kMultiple = "\\Software\\VB and VBA Program Settings\\Orvane\\MultipleSensor";

class FakeSettings final : public SettingsSource {
 public:
  void set(const std::string& key, const std::string& name, const std::string& value) {
    texts_[{key, name}] = value;
  }
  void setNumber(const std::string& key, const std::string& name, std::uint32_t value) {
    numbers_[{key, name}] = value;
  }
  std::string text(std::string_view key, std::string_view name) const override {
    ++reads;
    const auto it = texts_.find({std::string(key), std::string(name)});
    return it == texts_.end() ? std::string() : it->second;
  }
  std::optional<std::uint32_t> storedNumber(std::string_view key, std::string_view name) const override {
    const auto it = numbers_.find({std::string(key), std::string(name)});
    if (it == numbers_.end()) return std::nullopt;
    return it->second;
  }
  mutable int reads = 0;

 private:
  std::map<std::pair<std::string, std::string>, std::string> texts_;
  std::map<std::pair<std::string, std::string>, std::uint32_t> numbers_;
};

}  // namespace pel::sensors::testing
