// Every published property: its value after construction, a set read back,
// and whether a set while RunningMode is not 0 is refused (the ruled
// setters) or taken at once (the field setters).
#include <charconv>
#include <functional>
#include <type_traits>

#include "PropsFixture.h"

namespace {
using namespace props_test;

std::string Text(bool v) { return v ? "true" : "false"; }
std::string Text(int v) { return std::to_string(v); }
std::string Text(double v) {
  char b[32];
  const auto r = std::to_chars(b, b + sizeof b, v);
  return std::string(b, r.ptr);
}
std::string Text(const std::string& v) { return "'" + v + "'"; }
template <typename E>
  requires std::is_enum_v<E>
std::string Text(E v) {
  return "#" + std::to_string(static_cast<int>(v));
}
template <typename R, typename... A>
std::string Text(const std::function<R(A...)>& h) {
  return h ? "assigned" : "unassigned";
}

struct Row {
  const char* name;
  std::function<std::string(TPelmora&)> get;
  std::string byDefault;
  // Null for a read-only property.
  std::function<void(TPelmora&)> set;
  std::string afterSet;
  // The set is refused while RunningMode is not 0 (a ruled setter).
  bool ruled = false;
  // What makes the set acceptable on an idle link (model, channels, options).
  std::function<void(TPelmora&)> prepare;
};

#define RO(P, def) Row{#P, [](TPelmora& p) { return Text(p.P()); }, def, nullptr, "", false, nullptr}
#define FIELD(P, def, v, after) \
  Row{#P, [](TPelmora& p) { return Text(p.P()); }, def, [](TPelmora& p) { p.P(v); }, after, false, nullptr}
#define RULE(P, def, v, after, prep) \
  Row{#P, [](TPelmora& p) { return Text(p.P()); }, def, [](TPelmora& p) { p.P(v); }, after, true, prep}

// Channel D carries an analog module (the PWM gate).
void AnalogModuleOnD(TPelmora&) {
  TPelmora::State().sensors.ch[3].sensorId = kVoltage;
  TPelmora::State().sensors.ch[3].active = true;
}
void TerminalBlock(TPelmora& p) { p.F_.TerminalBlockUse = true; }
void ActiveWithSensor(int ch) {
  TPelmora::State().sensors.ch[ch].active = true;
  TPelmora::State().sensors.ch[ch].sensorId = kVoltage;
}

std::vector<Row> Rows() {
  const auto noop = [](TPelmora&) {};
  std::vector<Row> rows = {
      FIELD(LoopCount, "0", 7, "7"),
      RO(RunningMode, "-1"),
      RO(PelmoraType, "'none'"),
      RO(VCPort, "0"),  // its setter (a listed port) is the link's, tested there
      RO(PelmoraConnected, "false"),
      RULE(CHA, "false", true, "true", TerminalBlock),
      RULE(CHB, "false", true, "true", TerminalBlock),
      RULE(CHC, "false", true, "true", TerminalBlock),
      RULE(CHD, "false", true, "true", TerminalBlock),
      RO(CHE, "false"),
      RO(CHF, "false"),
      RO(CHG, "false"),
      RO(CHH, "false"),
      RO(AControlIndex, "#0"),
      RULE(SamplingTime, "0.2", 0.5, "0.5", noop),
      RULE(ExperimentLength, "10", 20.0, "20", noop),
      RO(NoOfData, "51"),
      RO(PinValue1, "50"),
      RO(PinValue2, "50"),
      RO(PinValue3, "50"),
      RO(SensorRangeA, "#0"),
      RO(SensorRangeB, "#0"),
      RO(SensorRangeC, "#0"),
      RO(SensorRangeD, "#0"),
      RO(SensorRangeE, "#0"),
      RO(SensorRangeF, "#0"),
      RO(SensorRangeG, "#0"),
      RO(SensorRangeH, "#0"),
      RULE(PWMFreqValue, "500", 1000, "1000",
           [](TPelmora& p) {
             AnalogModuleOnD(p);
             p.F_.PWMFreqSelect = true;
           }),
      RULE(PWMFreqSelect, "false", true, "true", AnalogModuleOnD),
      RULE(CHInputMode, "#1", CHInput::Scope, "#2", noop),
      RULE(CHOutput, "false", true, "true", noop),
      FIELD(TerminalBlockUse, "false", true, "true"),
      RULE(NoOfStroboSlit, "1", 4, "4", noop),
      FIELD(SetZeroMode, "false", true, "true"),
      RO(ZeroSetMode, "false"),
      FIELD(ErrorNumber, "0", 19, "19"),
      RO(Run, "false"),
      RULE(NoOfOverSampling, "0", 100, "100", noop),
      RO(MemoryTotalIndex, "0"),
      RO(LanguageID, "1033"),
      RO(ProductNo, "''"),
      RO(VersionNo, "''"),
      RO(FastSamplingMode, "false"),
      RO(ExperimentMode, "0"),
      RO(LangDirectory, "''"),
      RO(InterfaceFunction_TimmingMode, "true"),
      FIELD(DigitalTimmingMode, "false", true, "true"),
      FIELD(AutoStop, "false", true, "true"),
      FIELD(AutoDetect, "true", false, "false"),
      FIELD(UseOnlyUSBSensor, "false", true, "true"),
      FIELD(ADC, "false", true, "true"),
      FIELD(ThreadType, "false", true, "true"),
      FIELD(Max_Record_Count, "50000", 800, "800"),
      FIELD(DataReceived, "unassigned", [](TPelmora&, const std::wstring&) {}, "assigned"),
      FIELD(PelmoraError, "unassigned", [](TPelmora&, int) {}, "assigned"),
      FIELD(StartExperiment, "unassigned", [](TPelmora&) {}, "assigned"),
      FIELD(StopExperiment, "unassigned", [](TPelmora&) {}, "assigned"),
      FIELD(CheckForExperiment, "true", false, "false"),
      RO(Mode8Port, "false"),
      RO(GetModeFor8Port, "false"),
      RO(InterfaceFunction_ScopeMode, "false"),
      FIELD(UseOnlyTolemic, "false", true, "true"),
  };
  // Units and names: written with no check, read only on an active channel.
  const char* units[] = {"CHAUnit", "CHBUnit", "CHCUnit", "CHDUnit", "CHEUnit", "CHFUnit", "CHGUnit", "CHHUnit"};
  const char* names[] = {"CHAName", "CHBName", "CHCName", "CHDName", "CHEName", "CHFName", "CHGName", "CHHName"};
  const char* ids[] = {"CHAID", "CHBID", "CHCID", "CHDID", "CHEID", "CHFID", "CHGID", "CHHID"};
  using Get = std::string (TPelmora::*)() const;
  using Set = void (TPelmora::*)(const std::string&);
  using GetId = int (TPelmora::*)() const;
  const Get unitGet[] = {&TPelmora::CHAUnit, &TPelmora::CHBUnit, &TPelmora::CHCUnit, &TPelmora::CHDUnit,
                         &TPelmora::CHEUnit, &TPelmora::CHFUnit, &TPelmora::CHGUnit, &TPelmora::CHHUnit};
  const Set unitSet[] = {&TPelmora::CHAUnit, &TPelmora::CHBUnit, &TPelmora::CHCUnit, &TPelmora::CHDUnit,
                         &TPelmora::CHEUnit, &TPelmora::CHFUnit, &TPelmora::CHGUnit, &TPelmora::CHHUnit};
  const Get nameGet[] = {&TPelmora::CHAName, &TPelmora::CHBName, &TPelmora::CHCName, &TPelmora::CHDName,
                         &TPelmora::CHEName, &TPelmora::CHFName, &TPelmora::CHGName, &TPelmora::CHHName};
  const Set nameSet[] = {&TPelmora::CHAName, &TPelmora::CHBName, &TPelmora::CHCName, &TPelmora::CHDName,
                         &TPelmora::CHEName, &TPelmora::CHFName, &TPelmora::CHGName, &TPelmora::CHHName};
  const GetId idGet[] = {&TPelmora::CHAID, &TPelmora::CHBID, &TPelmora::CHCID, &TPelmora::CHDID,
                         &TPelmora::CHEID, &TPelmora::CHFID, &TPelmora::CHGID, &TPelmora::CHHID};
  for (int ch = 0; ch < 8; ++ch) {
    const Get ug = unitGet[ch], ng = nameGet[ch];
    const Set us = unitSet[ch], ns = nameSet[ch];
    const GetId ig = idGet[ch];
    const auto active = [ch](TPelmora&) { ActiveWithSensor(ch); };
    rows.push_back({units[ch], [ug](TPelmora& p) { return Text((p.*ug)()); }, "''",
                    [us, ch](TPelmora& p) {
                      ActiveWithSensor(ch);
                      (p.*us)("mV");
                    },
                    "'mV'", false, active});
    rows.push_back({names[ch], [ng](TPelmora& p) { return Text((p.*ng)()); }, ch < 2 ? "''" : "' '",
                    [ns, ch](TPelmora& p) {
                      ActiveWithSensor(ch);
                      (p.*ns)("Probe");
                    },
                    "'Probe'", false, active});
    rows.push_back({ids[ch], [ig](TPelmora& p) { return Text((p.*ig)()); }, "-1", nullptr, "", false, nullptr});
  }
  return rows;
}

TEST_F(PropsTest, EveryPublishedPropertyDefaultSetAndRefusalWhileRunning) {
  const auto rows = Rows();
  ASSERT_EQ(rows.size(), 87u);
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    // A fresh component for each row: defaults as after construction.
    p.reset();
    p = TPelmora::Create(nullptr, LinkFlavour::Studio(), rig.Env());
    EXPECT_EQ(row.get(*p), row.byDefault);
    if (!row.set) continue;

    // Accepted on an idle Qor once its preconditions hold.
    Idle(4);  // a Qor
    if (row.prepare) row.prepare(*p);
    row.set(*p);
    EXPECT_EQ(row.get(*p), row.afterSet);

    // The same set during a run, and before any connect.
    for (int running : {1, -1}) {
      p.reset();
      p = TPelmora::Create(nullptr, LinkFlavour::Studio(), rig.Env());
      Idle(4);
      if (row.prepare) row.prepare(*p);
      const std::string before = row.get(*p);
      p->F_.RunningMode = running;
      p->PelmoraError([this](TPelmora&, int n) { errors.push_back(n); });
      row.set(*p);
      EXPECT_EQ(row.get(*p), row.ruled ? before : row.afterSet) << "RunningMode " << running;
      EXPECT_TRUE(errors.empty());
      errors.clear();
    }
  }
}

}  // namespace
