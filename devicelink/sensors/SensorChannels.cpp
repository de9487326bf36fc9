#include "devicelink/sensors/SensorChannels.h"

#include "devicelink/sensors/RegistryPaths.h"
#include "devicelink/sensors/TextNumbers.h"

namespace pel::sensors {
namespace {

void loadResolutionsAndSign(const SensorRegistry& reg, int id, SensorChannel& c, bool& signInvert) {
  for (int r = 0; r < 3; ++r) c.resolution[r] = reg.resolution(id, r);
  // A listed sensor keeps the flag the host last set; every other loses it.
  if (id <= 0 || !reg.keepsSignInvert(id)) signInvert = false;
}

}  // namespace

void loadSensorInfo(const SensorRegistry& reg, int languageId, SensorChannels& t, SignInvertFlags& signInvert,
                    const std::array<int, 4>& idsAtoD) {
  for (int i = 0; i < 4; ++i) t.ch[i].name = reg.sensorName(languageId, idsAtoD[i]);
  for (int i = 0; i < 4; ++i) t.ch[i].unit = reg.sensorUnit(languageId, idsAtoD[i]);
  for (int i = 0; i < 4; ++i) loadResolutionsAndSign(reg, idsAtoD[i], t.ch[i], signInvert[i]);
  for (int i = 0; i < 4; ++i) t.ch[i].resolution[3] = kUsbResolution;
}

void loadChannelSensorInfo(const SensorRegistry& reg, int languageId, SensorChannels& t,
                           SignInvertFlags& signInvert, int channel) {
  if (channel < 0 || channel >= kChannels) return;
  SensorChannel& c = t.ch[channel];
  c.name = reg.sensorName(languageId, c.sensorId);
  c.unit = reg.sensorUnit(languageId, c.sensorId);
  loadResolutionsAndSign(reg, c.sensorId, c, signInvert[channel]);
  c.resolution[3] = kUsbResolution;
}

bool reloadIfChanged(const SensorRegistry& reg, int languageId, SensorChannels& t, SignInvertFlags& signInvert) {
  bool changed = false;
  for (const auto& c : t.ch) changed = changed || c.sensorId != c.lastLoadedId;
  if (!changed) return false;
  loadSensorInfo(reg, languageId, t, signInvert,
                 {t.ch[0].sensorId, t.ch[1].sensorId, t.ch[2].sensorId, t.ch[3].sensorId});
  for (int i = 4; i < kChannels; ++i) loadChannelSensorInfo(reg, languageId, t, signInvert, i);
  for (auto& c : t.ch) {
    c.lastLoadedId = c.sensorId;
    c.forceSensor = reg.isPartOfSensor(c.sensorId, paths::kForceSensor);
    c.photogate = reg.isPartOfSensor(c.sensorId, paths::kPhotoGateSensor);
  }
  return true;
}

std::string sensorList(int modelState, bool mode8Port, bool terminalBlockUse, const SensorChannels& t) {
  const bool known = (modelState >= 0 && modelState <= 5) || modelState == 7;
  if (!known) return {};
  const int n = mode8Port ? kChannels : 4;
  std::string out;
  for (int i = 0; i < n; ++i) {
    const SensorChannel& c = t.ch[i];
    int field;
    if (terminalBlockUse)
      field = c.terminalSelection ? 0 : -1;
    else
      field = c.sensorId == 0 ? -1 : c.sensorId;
    if (i > 0) out += ',';
    out += decimal(field);
  }
  return out;
}

}  // namespace pel::sensors
