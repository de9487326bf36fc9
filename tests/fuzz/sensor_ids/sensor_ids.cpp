// The identify reply, the sensor ID reply and the registry's texts and
// numbers that the identification reads (language, class lists and class
// keys, multiple sensors, names, units, resolutions).
//
// Input: byte 0 flags (1 8-port, 2 digital input, 4 DigitalTimmingMode, 8
// the language key's LCID stored as a number), byte 1 the model state
// (0 to 9), then lines: the identify reply, the sensor ID reply, and
// registry values "<key letter><name>=<text>" (see kKeys).
//
// Checks: the model state is one of the known ones and its name and record
// limit follow; an ID reply with fewer than four fields is error 30 and
// changes no ID; no ID stays negative; a channel is active exactly when it
// has a sensor (a module on D always); resolutions are finite; the sensor
// list has one integer per channel; a registry value that is not a number
// raises RegistryValueError and the identification still ends idle.
#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <iterator>
#include <set>
#include <string>
#include <vector>

#include "devicelink/LinkFraming.h"
#include "devicelink/LinkModel.h"
#include "devicelink/sensors/Identification.h"
#include "devicelink/sensors/RegistryPaths.h"
#include "devicelink/sensors/TextNumbers.h"
#include "tests/devicelink/sensors/FakeSettings.h"
#include "tests/fuzz/FuzzInput.h"

namespace {

using namespace pel::sensors;
using pel::sensors::testing::FakeSettings;

const std::string kKeys[] = {
    std::string(paths::kMessageKey),          paths::languageKey(1033),
    paths::sensorInfoKey(1033),               std::string(paths::kSensorResolutionKey),
    std::string(paths::kMultipleSensorKey),   paths::classKey(paths::kSensorMultiRange),
    paths::classKey(paths::kSensorCalibration), paths::classKey(paths::kSensorSignInvert),
    paths::languageKey(1031),                 paths::sensorInfoKey(1031),
};

class Link final : public IdentifyLink {
 public:
  explicit Link(std::string reply) : reply_(std::move(reply)) {}
  std::vector<int> errors;
  void pumpAndPoll() override {}
  void sendCommand(std::string_view command) override {
    PEL_FUZZ_CHECK(command.rfind("s{", 0) == 0 && command.back() == '}', std::string(command));
  }
  void flushInput() override {}
  std::string waitReply() override { return reply_; }
  void raiseDeviceError(int number) override { errors.push_back(number); }

 private:
  std::string reply_;
};

void CheckTables(const SensorRegistry& reg, const SensorChannels& t, bool terminalBlockUse, bool idsRead) {
  for (int i = 0; i < kChannels; ++i) {
    const SensorChannel& c = t.ch[i];
    PEL_FUZZ_CHECK(c.sensorId >= 0, std::to_string(c.sensorId));
    for (double r : c.resolution) PEL_FUZZ_CHECK(std::isfinite(r), "resolution");
    if (!idsRead || terminalBlockUse) continue;
    const bool module = i == 3 && (reg.isPartOfSensor(c.sensorId, paths::kAnalogModule) ||
                                   reg.isPartOfSensor(c.sensorId, paths::kDigitalModule) ||
                                   reg.isPartOfSensor(c.sensorId, paths::kPowerModule));
    PEL_FUZZ_CHECK(c.active == (c.sensorId != 0 || module), "channel " + std::to_string(i));
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  pel::fuzz::FuzzInput in(data, size);
  const std::uint8_t flags = in.Byte();
  const int modelState = in.Byte() % 10;
  const std::string identify = in.Line();
  const std::string idReply = in.Line();
  FakeSettings settings;
  while (!in.Empty()) {
    const std::string line = in.Line();
    if (line.empty()) continue;
    const std::size_t eq = line.find('=');
    const std::string& key = kKeys[static_cast<unsigned char>(line[0]) % std::size(kKeys)];
    if (eq == std::string::npos) continue;
    settings.set(key, line.substr(1, eq - 1), line.substr(eq + 1));
  }
  if (flags & 8) settings.setNumber(paths::languageKey(1033), std::string(paths::kLcid), 0xFFFFFFFFu);
  const SensorRegistry reg(settings);

  const int detected = pel::link::DetectModel(identify);
  static const std::set<int> kKnown = {-1, 0, 1, 2, 4, 7, 9};
  PEL_FUZZ_CHECK(kKnown.count(detected) == 1, std::to_string(detected));
  PEL_FUZZ_CHECK(detected != -1 || identify.find("Pelmora") == std::string::npos, identify);
  (void)pel::link::ModelName(detected);
  PEL_FUZZ_CHECK(pel::link::MaxRecordCountFor(detected, 123) > 0, "record limit");

  int language = 1033;
  try {
    language = reg.loadLanguageId(1031);
    language = reg.setLanguageId(language, 1033);
  } catch (const RegistryValueError&) {
  }

  // The reply on its own.
  SensorChannels t;
  bool terminal = false;
  const bool mode8 = flags & 1;
  const std::vector<int> before = {t.ch[0].sensorId, t.ch[1].sensorId, t.ch[2].sensorId, t.ch[3].sensorId};
  try {
    const int error = applyIdReply(idReply, mode8, modelState, reg, t, terminal);
    if (error != 0) {
      PEL_FUZZ_CHECK(error == kErrorTooFewIds, std::to_string(error));
      for (int i = 0; i < 4; ++i) PEL_FUZZ_CHECK(t.ch[i].sensorId == std::max(before[i], 0), "ID changed");
    }
    CheckTables(reg, t, terminal, true);
  } catch (const RegistryValueError&) {
  }

  // The whole identification, with the texts reloaded.
  Link link(idReply);
  IdentifyOptions opt;
  opt.modelState = modelState;
  opt.mode8Port = mode8;
  opt.inputMode = (flags & 2) ? InputMode::Digital : InputMode::Analog;
  opt.digitalTiming = flags & 4;
  int runningMode = kRunningIdle, errorNumber = 0;
  bool terminalU = false;
  SignInvertFlags invert{};
  SensorChannels u;
  try {
    autoSensorId(link, reg, language, opt, {runningMode, errorNumber, terminalU, invert}, u);
    CheckTables(reg, u, terminalU, isBoxModel(modelState));
  } catch (const RegistryValueError&) {
  }
  PEL_FUZZ_CHECK(runningMode == kRunningIdle, std::to_string(runningMode));

  const std::string list = sensorList(modelState, mode8, terminalU, u);
  if (!list.empty()) {
    std::size_t fields = 1;
    for (char c : list) fields += c == ',';
    PEL_FUZZ_CHECK(fields == (mode8 ? 8u : 4u), list);
    for (const auto& f : pel::link::SplitFields(list, ',')) PEL_FUZZ_CHECK(parseDecimalInt(f).has_value(), list);
  }

  for (int i = 0; i < kChannels; ++i) {
    const int id = u.ch[i].sensorId;
    try {
      (void)reg.getSensorName(language, id, i % 2 == 0);
      (void)reg.getSensorUnit(language, id, i % 3 == 0, i % 2 == 1);
      PEL_FUZZ_CHECK(reg.findMultipleSensor(id) >= 1, "multiple sensor");
      (void)reg.sensorSubId(id);
      (void)reg.isMultiRange(id);
      (void)reg.isCalibratable(id);
      PEL_FUZZ_CHECK(std::isfinite(reg.resolution(id, i % 3)), "resolution");
    } catch (const RegistryValueError&) {
    }
  }
  return 0;
}
