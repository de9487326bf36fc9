#pragma once
#include <map>
#include <set>
#include <string>
#include <utility>

#include "devicelink/setup/SetupTypes.h"

namespace pel::setup::test {

// Sensor tables as the registry would give them.
class FakeSensors : public SensorCatalog {
 public:
  std::map<int, SensorInfo> infos;
  std::set<std::pair<std::string, int>> classes;

  FakeSensors& Add(int id, SensorInfo info) {
    infos[id] = std::move(info);
    return *this;
  }
  FakeSensors& Class(const std::string& name, int id) {
    classes.insert({name, id});
    return *this;
  }
  SensorInfo Describe(int id) const override {
    auto it = infos.find(id);
    return it == infos.end() ? SensorInfo{} : it->second;
  }
  bool InClass(const std::string& name, int id) const override { return classes.count({name, id}) != 0; }
};

// A connected, idle link of the given model with the channels of `activeMask`
// (bit 0 = A) active, each carrying sensor ID 10 + index.
inline SetupState Idle(int m, unsigned activeMask = 0) {
  SetupState s;
  s.model = m;
  s.runningMode = 0;
  for (int i = 0; i < kChannels; ++i) {
    s.channels[i].active = (activeMask >> i) & 1u;
    s.channels[i].sensorId = s.channels[i].active ? 10 + i : 0;
  }
  return s;
}

}  // namespace pel::setup::test
