#include "devicelink/sensors/IdReply.h"

#include <vector>

#include "devicelink/LinkFraming.h"
#include "devicelink/sensors/RegistryPaths.h"
#include "devicelink/sensors/TextNumbers.h"

namespace pel::sensors {
namespace {

void readIds(const std::vector<std::string>& fields, bool mode8Port, SensorChannels& t) {
  std::array<int, kChannels> ids{};
  for (int i = 0; i < kChannels; ++i) ids[i] = t.ch[i].sensorId;
  // Reading stops at the first bad field; what was read before it counts.
  auto commit = [&](int upTo) {
    for (int i = 0; i < upTo; ++i) t.ch[i].sensorId = ids[i];
  };
  for (int i = 0; i < 4; ++i) {
    const auto v = parseDecimalInt(fields[i]);
    if (!v) return commit(i);
    ids[i] = *v;
  }
  if (mode8Port && fields.size() > 4) {
    for (int i = 4; i < kChannels; ++i) {
      const auto v = i < static_cast<int>(fields.size()) ? parseDecimalInt(fields[i]) : std::nullopt;
      if (!v) return commit(i);
      ids[i] = *v;
    }
  } else {
    for (int i = 4; i < kChannels; ++i) ids[i] = 0;
  }
  commit(kChannels);
}

}  // namespace

int applyIdReply(std::string_view reply, bool mode8Port, int modelState, const SensorRegistry& reg,
                 SensorChannels& t, bool& terminalBlockUse) {
  const std::vector<std::string> fields = pel::link::SplitFields(pel::link::ReplyBody(reply), ',');
  const int error = fields.size() < 4 ? kErrorTooFewIds : 0;
  if (error == 0) readIds(fields, mode8Port, t);

  for (auto& c : t.ch)
    if (c.sensorId < 0) c.sensorId = 0;

  terminalBlockUse =
      modelState == kModelSornII && t.ch[0].sensorId == 0 && t.ch[1].sensorId == 0 && t.ch[2].sensorId == 0;
  if (terminalBlockUse) {
    // Only A..D have a selection (set through CHA..CHD).
    for (int i = 0; i < kChannels; ++i) t.ch[i].active = i < 4 && t.ch[i].terminalSelection;
  } else {
    for (auto& c : t.ch) {
      c.terminalSelection = false;
      c.active = c.sensorId != 0;
    }
  }

  // A module on channel D is always in use.
  const int d = t.ch[3].sensorId;
  if (reg.isPartOfSensor(d, paths::kAnalogModule) || reg.isPartOfSensor(d, paths::kDigitalModule) ||
      reg.isPartOfSensor(d, paths::kPowerModule))
    t.ch[3].active = true;
  return error;
}

}  // namespace pel::sensors
