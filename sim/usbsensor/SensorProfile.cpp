#include "sim/usbsensor/SensorProfile.h"

#include <charconv>
#include <system_error>

namespace pelsim::usbsensor {
namespace {

template <class T>
bool Number(std::string_view s, T& v) {
  if (s.empty()) return false;
  const char* end = s.data() + s.size();
  auto r = std::from_chars(s.data(), end, v);
  return r.ec == std::errc() && r.ptr == end;
}

std::vector<std::string_view> Split(std::string_view s, char sep) {
  std::vector<std::string_view> parts;
  for (;;) {
    const auto at = s.find(sep);
    parts.push_back(s.substr(0, at));
    if (at == std::string_view::npos) return parts;
    s.remove_prefix(at + 1);
  }
}

bool Field(SensorProfile& profile, std::string_view field) {
  const auto eq = field.find('=');
  if (eq == std::string_view::npos) return false;
  const auto key = field.substr(0, eq);
  const auto value = field.substr(eq + 1);
  if (key == "id") {
    profile.identifier = std::string(value);
    return true;
  }
  if (key == "sensor") return Number(value, profile.sensorId);
  if (key == "range") return Number(value, profile.range);
  if (key == "offset") return Number(value, profile.offset);
  if (key == "slope") return Number(value, profile.slope);
  if (key == "silent") return Number(value, profile.silentAfter);
  if (key == "unplug") return Number(value, profile.unplugAfter);
  return false;
}

}  // namespace

std::optional<std::vector<SensorProfile>> ParseSensorProfiles(std::string_view text) {
  std::vector<SensorProfile> out;
  int count = 0;
  if (Number(text, count)) {
    if (count < 0 || count > 127) return std::nullopt;
    for (int i = 0; i < count; ++i) {
      SensorProfile s;
      s.identifier = std::to_string(1000001 + i);
      out.push_back(s);
    }
    return out;
  }
  for (auto entry : Split(text, ';')) {
    SensorProfile s;
    s.identifier = std::to_string(1000001 + out.size());
    for (auto field : Split(entry, ','))
      if (!Field(s, field)) return std::nullopt;
    out.push_back(s);
  }
  if (out.size() > 127) return std::nullopt;
  return out;
}

}  // namespace pelsim::usbsensor
