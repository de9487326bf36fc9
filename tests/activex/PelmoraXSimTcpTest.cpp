// The control as a COM client drives it, against the simulated interface on
// TCP 127.0.0.1:4000: connect, channel and acquisition properties, a run
// whose records and events reach the sink, a device-link exception as a
// failure status, and the close. A small sensor tree sits in the current
// user's registry meanwhile.
#include <windows.h>
#include <oleauto.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>

#include "platform/Registry.h"
#include "sim/interface/InterfaceSim.h"
#include "tests/activex/ComClient.h"

namespace {
using namespace pel::test;
using pel::reg::Root;

const std::string kPelmora = "Software\\VB and VBA Program Settings\\Pelmora";
const std::string kMessage = kPelmora + "\\Message";
const std::string kResolution = kPelmora + "\\SensorResolution";

void put(const std::string& key, const std::string& name, const std::string& value) {
  ASSERT_TRUE(pel::reg::writeString(Root::CurrentUser, key, name, value)) << key << '|' << name;
}

class SimTcp : public ::testing::Test {
 protected:
  void SetUp() override {
    clean();
    put(kMessage, "LCID", "1033");
    put(kMessage + "\\1033", "Language", "English");
    put(kMessage + "\\1033\\SensorInfo", "Name12", "Light (0-600 lx)");
    put(kMessage + "\\1033\\SensorInfo", "Unit12", "Illuminance(lx)");
    put(kResolution, "Resolution12_1", "0.5");
    auto st = sim.settings();
    st.sensorIds = {12, 0, 0, 0, 0, 0, 0, 0};
    sim.setSettings(st);
    sim.startTcp(4000);
    ASSERT_TRUE(lib.Loaded());
    ASSERT_EQ(lib.Call("DllRegisterServer"), S_OK);
    ASSERT_EQ(CoCreateInstance(CLSID_PelmoraX, nullptr, CLSCTX_INPROC_SERVER, IID_IPelmoraX,
                               reinterpret_cast<void**>(&px)),
              S_OK);
    IConnectionPoint* cp = nullptr;
    ASSERT_EQ(Connect(px, &sink, &cookie, &cp), S_OK);
    cp->Release();
  }
  void TearDown() override {
    if (px) {
      LONG r = 0;
      px->CloseComm(&r);
      px->Release();
    }
    sim.stop();
    clean();
  }
  static void clean() {
    for (const char* sub : {"Message", "SensorResolution", "SensorSignInvert"})
      pel::reg::deleteTree(Root::CurrentUser, kPelmora + "\\" + sub);
    if (pel::reg::valueNames(Root::CurrentUser, kPelmora).empty() &&
        pel::reg::subkeyNames(Root::CurrentUser, kPelmora).empty())
      pel::reg::deleteTree(Root::CurrentUser, kPelmora);
  }
  void connect() {
    LONG r = -1;
    ASSERT_EQ(px->InitializeComm(&r), S_OK);
    ASSERT_EQ(r, 0);
    ASSERT_EQ(TakeText(typeName()), L"Tolemic");
  }
  BSTR typeName() {
    BSTR b = nullptr;
    EXPECT_EQ(px->get_PelmoraType(&b), S_OK);
    return b;
  }
  pel::sim::InterfaceSim sim{pel::sim::Model::SornII};
  Apartment apartment;
  Library lib;
  EventSink sink;
  DWORD cookie = 0;
  IPelmoraX* px = nullptr;
};

TEST_F(SimTcp, ConnectsIdentifiesAndSetsUp) {
  connect();
  VARIANT_BOOL b = 0;
  LONG n = -5;
  ASSERT_EQ(px->get_PelmoraConnected(&b), S_OK);
  EXPECT_EQ(b, VARIANT_TRUE);
  ASSERT_EQ(px->get_RunningMode(&n), S_OK);
  EXPECT_EQ(n, 0);
  ASSERT_EQ(px->get_CHAID(&n), S_OK);
  EXPECT_EQ(n, 12);
  ASSERT_EQ(px->get_CHA(&b), S_OK);
  EXPECT_EQ(b, VARIANT_TRUE);
  BSTR s = nullptr;
  ASSERT_EQ(px->get_CHAUnit(&s), S_OK);
  EXPECT_EQ(TakeText(s), L"Illuminance(lx)");
  ASSERT_EQ(px->GetSensorName(12, -1, &s), S_OK);
  EXPECT_EQ(TakeText(s), L"Light (0-600 lx)");
  // Texts in the ANSI code page, both ways.
  BSTR name = SysAllocString(L"Licht \u00e4");
  ASSERT_EQ(px->put_CHAName(name), S_OK);
  SysFreeString(name);
  ASSERT_EQ(px->get_CHAName(&s), S_OK);
  EXPECT_EQ(TakeText(s), L"Licht \u00e4");
  // CHInputMode by number: 1 Analog, 0 Digital, 2 Scope; a number that names
  // no member is the device link's to take (it stores it).
  struct Mode {
    LONG in;
    TxCHInput out;
  };
  for (const Mode m : {Mode{0, Digital}, Mode{2, Scope}, Mode{7, static_cast<TxCHInput>(7)}, Mode{1, Analog}}) {
    TxCHInput got = static_cast<TxCHInput>(-1);
    ASSERT_EQ(px->put_CHInputMode(static_cast<TxCHInput>(m.in)), S_OK);
    ASSERT_EQ(px->get_CHInputMode(&got), S_OK);
    EXPECT_EQ(got, m.out) << m.in;
  }
  double t = 0;
  ASSERT_EQ(px->put_SamplingTime(0.5), S_OK);
  ASSERT_EQ(px->get_SamplingTime(&t), S_OK);
  EXPECT_DOUBLE_EQ(t, 0.5);
  // TerminalBlockUse written through the control is the one GetSensorList reads.
  BSTR list = nullptr;
  ASSERT_EQ(px->GetSensorList(&list), S_OK);
  const std::wstring ids = TakeText(list);
  EXPECT_EQ(ids.substr(0, 3), L"12,");
  ASSERT_EQ(px->put_TerminalBlockUse(VARIANT_TRUE), S_OK);
  ASSERT_EQ(px->GetSensorList(&list), S_OK);
  EXPECT_EQ(TakeText(list), L"-1,-1,-1,-1") << "no channel selected for the terminal block";
  ASSERT_EQ(px->put_TerminalBlockUse(VARIANT_FALSE), S_OK);
  ASSERT_EQ(px->GetSensorList(&list), S_OK);
  EXPECT_EQ(TakeText(list), ids);
  EXPECT_EQ(sink.Count(202), 0) << "no error on the way";
  ASSERT_EQ(px->CloseComm(&n), S_OK);
  EXPECT_EQ(n, 0);
  ASSERT_EQ(px->get_RunningMode(&n), S_OK);
  EXPECT_EQ(n, -1);
}

TEST_F(SimTcp, RunDeliversRecordsAndBothExperimentEvents) {
  connect();
  ASSERT_EQ(px->put_SamplingTime(0.1), S_OK);
  ASSERT_EQ(px->put_ExperimentLength(2.0), S_OK);
  double length = 0;
  ASSERT_EQ(px->get_ExperimentLength(&length), S_OK);
  ASSERT_DOUBLE_EQ(length, 2.0);
  ASSERT_EQ(px->put_LoopCount(21), S_OK);
  ASSERT_EQ(px->put_AutoStop(-1), S_OK);
  LONG r = -1;
  ASSERT_EQ(px->Pelmora(-1, &r), S_OK);
  EXPECT_EQ(r, 0);
  ASSERT_TRUE(PumpUntil([&] { return sink.Count(204) > 0; }, 20000)) << sink.events.size() << " events";
  ASSERT_GE(sink.events.size(), 3u);
  EXPECT_EQ(sink.events.front().id, 203);
  EXPECT_EQ(sink.events.back().id, 204);
  EXPECT_EQ(sink.Count(203), 1);
  EXPECT_EQ(sink.Count(204), 1);
  EXPECT_EQ(sink.Count(202), 0);
  EXPECT_EQ(sink.Count(-1) + sink.Count(-2), 0) << "events go as method calls of one argument at most";
  const int records = sink.Count(201);
  EXPECT_EQ(records, 21);
  int number = 0;
  for (const auto& e : sink.events) {
    if (e.id != 201) continue;
    ++number;
    const std::wstring head = std::to_wstring(number) + L",";
    EXPECT_EQ(e.text.substr(0, head.size()), head) << std::string(e.text.begin(), e.text.end());
    EXPECT_EQ(e.text.back(), L';');
  }
  BSTR list = nullptr;
  ASSERT_EQ(px->GetDataList(&list), S_OK);
  const std::wstring all = TakeText(list);
  EXPECT_EQ(static_cast<int>(std::count(all.begin(), all.end(), L';')), records);
  LONG mode = -5;
  ASSERT_EQ(px->get_RunningMode(&mode), S_OK);
  EXPECT_EQ(mode, 0);
}

TEST_F(SimTcp, MemoryBankMembersReachTheDeviceLink) {
  connect();
  // Over TCP the interface counts as a Tolemic, which has no memory banks:
  // each member gives the device link's refusal, also as the error event.
  struct Case {
    const char* member;
    std::function<HRESULT(LONG*)> call;
    LONG error;
  };
  const Case cases[] = {
      {"HighSpeedSetting", [&](LONG* r) { return px->HighSpeedSetting(1, 0.001, r); }, 23},
      {"HighSpeedExplorer", [&](LONG* r) { return px->HighSpeedExplorer(r); }, 27},
      {"ReadBankInfo",
       [&](LONG* r) {
         BSTR info = reinterpret_cast<BSTR>(1);
         const HRESULT hr = px->ReadBankInfo(1, &info);
         *r = SysStringLen(info) == 0 ? 27 : -1;  // the text stays empty
         SysFreeString(info);
         return hr;
       },
       27},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.member);
    sink.events.clear();
    LONG r = -1, n = -1;
    ASSERT_EQ(c.call(&r), S_OK);
    EXPECT_EQ(r, c.error);
    ASSERT_EQ(px->get_ErrorNumber(&n), S_OK);
    EXPECT_EQ(n, c.error);
    ASSERT_EQ(sink.Count(202), 1);
    EXPECT_EQ(sink.events.back().number, c.error);
  }
  // Erasing is for one model only: elsewhere ErrorNumber stays as it was.
  LONG r = -1;
  ASSERT_EQ(px->put_ErrorNumber(0), S_OK);
  ASSERT_EQ(px->EraseMemoryData(1, -1, &r), S_OK);
  EXPECT_EQ(r, 0);
  VARIANT_BOOL mode = 7, now = 7;
  ASSERT_EQ(px->SetChangeModeFor8Port(-1, &mode), S_OK);
  ASSERT_EQ(px->get_GetModeFor8Port(&now), S_OK);
  EXPECT_EQ(mode, now);
  EXPECT_EQ(px->SetDigitalTiming(0, -1, 0), S_OK);
  EXPECT_EQ(px->SetScopeRows(25), S_OK);
}

TEST_F(SimTcp, AnExceptionInsideTheDeviceLinkIsAFailureWithItsText) {
  connect();
  // A new sensor on channel B whose resolution is not a number: loading its
  // texts throws inside the device link.
  put(kResolution, "Resolution5_1", "half");
  auto st = sim.settings();
  st.sensorIds = {12, 5, 0, 0, 0, 0, 0, 0};
  sim.setSettings(st);
  LONG result = 77;
  EXPECT_EQ(px->AutoSensorID(&result), E_UNEXPECTED);
  IErrorInfo* info = nullptr;
  ASSERT_EQ(GetErrorInfo(0, &info), S_OK);
  ASSERT_NE(info, nullptr);
  BSTR d = nullptr;
  info->GetDescription(&d);
  EXPECT_GT(SysStringLen(d), 0u);
  SysFreeString(d);
  info->Release();
  // The control goes on working.
  LONG n = -5;
  ASSERT_EQ(px->get_RunningMode(&n), S_OK);
  EXPECT_EQ(n, 0);
}

}  // namespace
