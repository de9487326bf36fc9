// Sensor identification and the sensor questions through the component,
// against the simulated interface on TCP 127.0.0.1:4000, with a small sensor
// tree written to the current user's registry (and removed afterwards).
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "devicelink/Pelmora.h"
#include "devicelink/sensors/SettingsSource.h"
#include "platform/Registry.h"
#include "sim/interface/InterfaceSim.h"

namespace {
using pel::reg::Root;
using pel::sim::InterfaceSim;
using pel::sim::Model;

// Written out in full, independent of the paths in the code.
const std::string kPelmora = "Software\\VB and VBA Program Settings\\Pelmora";
const std::string kOrvane = "Software\\VB and VBA Program Settings\\Orvane";
const std::string kMessage = kPelmora + "\\Message";
const std::string kInfo1033 = kMessage + "\\1033\\SensorInfo";
const std::string kResolution = kPelmora + "\\SensorResolution";

void put(const std::string& key, const std::string& name, const std::string& value) {
  ASSERT_TRUE(pel::reg::writeString(Root::CurrentUser, key, name, value)) << key << '|' << name;
}

class IdentSimTcp : public ::testing::Test {
 protected:
  void SetUp() override {
    clean();
    put(kMessage, "LCID", "1033");
    put(kMessage + "\\1033", "Language", "English");
    put(kMessage + "\\1031", "Language", "Deutsch");
    put(kInfo1033, "Name12", "Light (0-600 lx)");
    put(kInfo1033, "Unit12", "Illuminance(lx)");
    put(kInfo1033, "Name5", "Temperature");
    put(kInfo1033, "Unit5", "C");
    put(kMessage + "\\1031\\SensorInfo", "Name12", "Licht (0-600 lx)");
    put(kResolution, "Resolution12_1", "0.5");
    put(kResolution, "Resolution12_2", "0.25");
    // Blank and letter items match nothing; the rest still count.
    put(kMessage, "AnalogModule", " 3,,a, 40 ,");
    put(kMessage, "PhotoGateSensor", "5");
    put(kOrvane + "\\MultipleSensor", "31", "31,32,33");
    put(kOrvane + "\\MultipleSensor", "41", "41");

    sim.startTcp(4000);
    setIds({12, 0, 5, 0, 0, 0, 0, 0});
    p = TPelmora::Create(nullptr, LinkFlavour::Studio(), TPelmora::DefaultEnvironment());
    p->PelmoraError([this](TPelmora&, int n) { errors.push_back(n); });
    p->AutoDetect(false);
    p->UseOnlyTolemic(true);
  }
  void TearDown() override {
    if (p) p->CloseComm();
    p.reset();
    sim.stop();
    clean();
  }
  static void clean() {
    for (const char* sub : {"Message", "SensorResolution", "SensorSignInvert"})
      pel::reg::deleteTree(Root::CurrentUser, kPelmora + "\\" + sub);
    pel::reg::deleteTree(Root::CurrentUser, kOrvane + "\\MultipleSensor");
    for (const std::string& parent : {kPelmora, kOrvane})
      if (pel::reg::valueNames(Root::CurrentUser, parent).empty() &&
          pel::reg::subkeyNames(Root::CurrentUser, parent).empty())
        pel::reg::deleteTree(Root::CurrentUser, parent);
  }
  void setIds(std::array<int, 8> ids) {
    auto st = sim.settings();
    st.sensorIds = ids;
    sim.setSettings(st);
  }
  static const pel::sensors::SensorChannel& ch(int i) { return TPelmora::State().sensors.ch[i]; }

  InterfaceSim sim{Model::Qor};  // answers every probe: no waits run out
  std::shared_ptr<TPelmora> p;
  std::vector<int> errors;
};

TEST_F(IdentSimTcp, ConnectIdentifiesAndLoadsTheTexts) {
  ASSERT_EQ(p->InitializeComm(), 0);
  EXPECT_TRUE(errors.empty());
  EXPECT_EQ(sim.log().count("s{11,1}"), 1u);
  EXPECT_EQ(sim.log().count("s{20}"), 1u);
  EXPECT_EQ(p->RunningMode(), 0);
  EXPECT_EQ(p->GetSensorList(), "12,-1,5,-1");
  EXPECT_FALSE(p->F_.TerminalBlockUse);  // the TCP link is a Tolemic, never a terminal block
  EXPECT_TRUE(ch(0).active);
  EXPECT_FALSE(ch(1).active);
  EXPECT_EQ(ch(0).name, "Light (0-600 lx)");
  EXPECT_EQ(ch(0).unit, "Illuminance(lx)");
  EXPECT_EQ(ch(0).resolution, (std::array<double, 4>{0.5, 0.25, 0.001, 0.000001}));
  EXPECT_EQ(ch(2).name, "Temperature");
  EXPECT_TRUE(ch(2).photogate);
  EXPECT_FALSE(ch(0).photogate);
  EXPECT_EQ(ch(0).lastLoadedId, 12);
}

TEST_F(IdentSimTcp, TextsReloadOnlyWhenAnIdChanged) {
  ASSERT_EQ(p->InitializeComm(), 0);
  put(kInfo1033, "Name12", "Changed");
  EXPECT_EQ(p->AutoSensorID(), 0);
  EXPECT_EQ(ch(0).name, "Light (0-600 lx)");  // same IDs: the registry is not read
  setIds({5, 12, 0, 0, 0, 0, 0, 0});
  EXPECT_EQ(p->AutoSensorID(), 0);
  EXPECT_EQ(ch(0).name, "Temperature");
  EXPECT_EQ(ch(1).name, "Changed");
  EXPECT_EQ(p->GetSensorList(), "5,12,-1,-1");
  EXPECT_EQ(sim.log().count("s{20}"), 3u);
}

TEST_F(IdentSimTcp, ModuleOnChannelDIsActiveAndEightPortReadsEToH) {
  ASSERT_EQ(p->InitializeComm(), 0);
  setIds({12, 0, 0, 40, 5, -3, 0, 12});
  EXPECT_EQ(p->AutoSensorID(), 0);
  EXPECT_TRUE(ch(3).active);   // 40 is an analog module despite the bad items around it
  EXPECT_EQ(ch(4).sensorId, 0);  // 4-port mode: E..H are 0
  p->F_.GetModeFor8Port = true;
  EXPECT_EQ(p->AutoSensorID(), 0);
  EXPECT_EQ(sim.log().count("s{11,5}"), 2u);  // the connect's probe and this one
  EXPECT_EQ(sim.log().count("s{20,2}"), 1u);
  EXPECT_EQ(p->GetSensorList(), "12,-1,-1,40,5,-1,-1,12");
  EXPECT_EQ(ch(5).sensorId, 0);  // negative IDs become 0
  EXPECT_EQ(ch(4).name, "Temperature");
  EXPECT_EQ(ch(7).name, "Light (0-600 lx)");
}

TEST_F(IdentSimTcp, TooFewIdsIsError30AndKeepsTheOldOnesAndABusyCallIsError22) {
  ASSERT_EQ(p->InitializeComm(), 0);
  std::vector<int> nested;
  p->PelmoraError([&](TPelmora& self, int n) {
    errors.push_back(n);
    // A host calling back from the event while identifying is turned away.
    if (n == 30) nested.push_back(self.AutoSensorID());
  });
  sim.setHandler(20, [](pel::sim::SimEngine& e, const pel::sim::Command&, auto) { e.reply("{7,8}"); });
  // The result is the last error raised, here the nested refusal's.
  EXPECT_EQ(p->AutoSensorID(), 22);
  EXPECT_EQ(errors, (std::vector<int>{30, 22}));
  EXPECT_EQ(nested, std::vector<int>{22});
  EXPECT_EQ(p->RunningMode(), 0);
  EXPECT_EQ(p->GetSensorList(), "12,-1,5,-1");
  EXPECT_EQ(sim.log().count("s{20}"), 2u);  // the nested call sent nothing

  sim.setHandler(20, [](pel::sim::SimEngine& e, const pel::sim::Command&, auto) { e.reply("{1,x,3,4}"); });
  errors.clear();
  EXPECT_EQ(p->AutoSensorID(), 0);  // a bad field ends the reading silently
  EXPECT_TRUE(errors.empty());
  EXPECT_EQ(p->GetSensorList(), "1,-1,5,-1");
}

TEST_F(IdentSimTcp, NotConnectedIsError22WithNothingSent) {
  EXPECT_EQ(p->AutoSensorID(), 22);
  EXPECT_EQ(errors, std::vector<int>{22});
  EXPECT_EQ(p->RunningMode(), -1);
  EXPECT_EQ(p->GetSensorList(), "");  // no model before a connect
  EXPECT_EQ(sim.log().count("s{20}"), 0u);
}

TEST_F(IdentSimTcp, BadResolutionFailsTheCallButLeavesTheLinkUsable) {
  put(kResolution, "Resolution5_1", "x");
  // The connect itself succeeds; the IDs are taken, the texts stop part-way.
  ASSERT_EQ(p->InitializeComm(), 0);
  EXPECT_TRUE(p->PelmoraConnected());
  EXPECT_EQ(p->RunningMode(), 0);
  EXPECT_EQ(p->GetSensorList(), "12,-1,5,-1");
  setIds({5, 0, 0, 0, 0, 0, 0, 0});
  EXPECT_THROW(p->AutoSensorID(), pel::sensors::RegistryValueError);
  EXPECT_EQ(p->RunningMode(), 0);
  put(kResolution, "Resolution5_1", "0.1");
  EXPECT_EQ(p->AutoSensorID(), 0);
  EXPECT_EQ(ch(0).resolution[0], 0.1);
}

TEST_F(IdentSimTcp, PublishedLookups) {
  EXPECT_TRUE(p->IsPartOfSensor(40, "AnalogModule"));
  EXPECT_TRUE(p->IsPartOfSensor(3, "AnalogModule"));
  EXPECT_FALSE(p->IsPartOfSensor(0, "AnalogModule"));
  EXPECT_FALSE(p->IsPartOfSensor(12, "NoSuchClass"));
  EXPECT_EQ(p->FindMultipleSensor(31), 3);
  EXPECT_EQ(p->GetSensorSubID(31), "31,32,33");
  EXPECT_EQ(p->FindMultipleSensor(41), 1);
  EXPECT_EQ(p->GetSensorSubID(41), "");
  EXPECT_EQ(p->FindMultipleSensor(99), 1);
  EXPECT_EQ(p->GetSensorName(12, false), "Light ");
  EXPECT_EQ(p->GetSensorName(12, true), "Light (0-600 lx)");
  EXPECT_EQ(p->GetSensorName(5, false), "Temperature");
  EXPECT_EQ(p->GetSensorUnit(12, false, false), "lx");
  EXPECT_EQ(p->GetSensorUnit(12, false, true), "Illuminance");
  EXPECT_EQ(p->GetSensorUnit(12, true, false), "Illuminance(lx)");
  EXPECT_EQ(p->GetSensorUnit(5, false, true), "C");

  EXPECT_EQ(p->LanguageID(), 1033);
  p->SetLanguageID(1041);  // no texts in that language: unchanged
  EXPECT_EQ(p->LanguageID(), 1033);
  p->SetLanguageID(1031);
  EXPECT_EQ(p->LanguageID(), 1031);
  EXPECT_EQ(p->GetSensorName(12, false), "Licht ");
}

TEST_F(IdentSimTcp, LanguageIdStoredAsADwordIsTaken) {
  pel::reg::deleteTree(Root::CurrentUser, kMessage);
  put(kMessage + "\\1031", "Language", "Deutsch");
  const DWORD lcid = 1031;
  ASSERT_EQ(RegSetKeyValueA(HKEY_CURRENT_USER, kMessage.c_str(), "LCID", REG_DWORD, &lcid, sizeof lcid),
            ERROR_SUCCESS);
  p.reset();
  p = TPelmora::Create(nullptr, LinkFlavour::Studio(), TPelmora::DefaultEnvironment());
  EXPECT_EQ(p->LanguageID(), 1031);
}

}  // namespace
