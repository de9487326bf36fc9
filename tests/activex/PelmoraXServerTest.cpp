// The library as a COM server: its registration keys (by DllRegisterServer
// and by regsvr32), their removal, the class object, and the type library a
// host reads: names, DISPIDs, vtable order, flags and types.
#include <windows.h>
#include <oleauto.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include "tests/activex/ComClient.h"

namespace {
using namespace pel::test;

const std::wstring kClsid = L"{1B6A288B-59BA-4B33-852E-374EF8D03F0B}";
const std::wstring kLibid = L"{6A6E4989-4157-46C8-98C8-30635D666782}";
const std::wstring kClsidKey = L"CLSID\\" + kClsid;

std::optional<std::wstring> readValue(const std::wstring& key, const wchar_t* name = nullptr) {
  HKEY h = nullptr;
  if (RegOpenKeyExW(HKEY_CLASSES_ROOT, key.c_str(), 0, KEY_READ, &h) != ERROR_SUCCESS) return std::nullopt;
  wchar_t buf[1024] = {};
  DWORD size = sizeof buf - sizeof(wchar_t), type = 0;
  const LSTATUS rc = RegQueryValueExW(h, name, nullptr, &type, reinterpret_cast<BYTE*>(buf), &size);
  RegCloseKey(h);
  if (rc != ERROR_SUCCESS || type != REG_SZ) return std::nullopt;
  return std::wstring(buf);
}

bool keyExists(const std::wstring& key) {
  HKEY h = nullptr;
  if (RegOpenKeyExW(HKEY_CLASSES_ROOT, key.c_str(), 0, KEY_READ, &h) != ERROR_SUCCESS) return false;
  RegCloseKey(h);
  return true;
}

std::wstring shortPath(const std::wstring& p) {
  wchar_t buf[MAX_PATH] = {};
  const DWORD n = GetShortPathNameW(p.c_str(), buf, MAX_PATH);
  return n ? std::wstring(buf, n) : p;
}

// Every key of the registration, with the expected default value (or none).
struct Expected {
  std::wstring key;
  const wchar_t* name;
  std::optional<std::wstring> value;
};

std::vector<Expected> expectedKeys() {
  const std::wstring dll = Library::Path();
  const std::wstring server = dll.find(L' ') != std::wstring::npos ? shortPath(dll) : dll;
  return {
      {kClsidKey, nullptr, L"PelmoraX Control"},
      {kClsidKey + L"\\InprocServer32", nullptr, server},
      {kClsidKey + L"\\InprocServer32", L"ThreadingModel", L"Apartment"},
      {kClsidKey + L"\\ProgID", nullptr, L"PelmoraX.PelmoraX"},
      {L"PelmoraX.PelmoraX", nullptr, L"PelmoraX Control"},
      {L"PelmoraX.PelmoraX\\Clsid", nullptr, kClsid},
      {kClsidKey + L"\\Version", nullptr, L"1.3"},
      {kClsidKey + L"\\TypeLib", nullptr, kLibid},
      {kClsidKey + L"\\MiscStatus", nullptr, L"0"},
      {kClsidKey + L"\\MiscStatus\\1", nullptr, L"131473"},
      {kClsidKey + L"\\ToolboxBitmap32", nullptr, dll + L",1"},
      {kClsidKey + L"\\Control", nullptr, L""},
      {kClsidKey + L"\\Verb\\0", nullptr, L"Properties,0,2"},
  };
}

void expectRegistered() {
  for (const auto& e : expectedKeys()) {
    SCOPED_TRACE(testing::Message() << std::string(e.key.begin(), e.key.end()));
    EXPECT_EQ(readValue(e.key, e.name), e.value);
  }
  EXPECT_TRUE(keyExists(L"TypeLib\\" + kLibid + L"\\1.3"));
}

void expectUnregistered() {
  EXPECT_FALSE(keyExists(kClsidKey));
  EXPECT_FALSE(keyExists(L"PelmoraX.PelmoraX"));
  EXPECT_FALSE(keyExists(L"TypeLib\\" + kLibid + L"\\1.3"));
}

DWORD runAndWait(std::wstring command) {
  STARTUPINFOW si{};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi{};
  if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi))
    return 0xFFFFFFFF;
  DWORD code = 0xFFFFFFFE;
  if (WaitForSingleObject(pi.hProcess, 60000) == WAIT_OBJECT_0) GetExitCodeProcess(pi.hProcess, &code);
  CloseHandle(pi.hThread);
  CloseHandle(pi.hProcess);
  return code;
}

class Server : public ::testing::Test {
 protected:
  Apartment apartment;
  Library lib;
};

TEST_F(Server, RegisterTwiceUnregisterAndRegisterAgain) {
  ASSERT_TRUE(lib.Loaded());
  ASSERT_EQ(lib.Call("DllRegisterServer"), S_OK);
  expectRegistered();
  ASSERT_EQ(lib.Call("DllRegisterServer"), S_OK);
  expectRegistered();
  ASSERT_EQ(lib.Call("DllUnregisterServer"), S_OK);
  expectUnregistered();
  // Removing what is gone is no failure.
  EXPECT_EQ(lib.Call("DllUnregisterServer"), S_OK);
  ASSERT_EQ(lib.Call("DllRegisterServer"), S_OK);
  expectRegistered();
}

TEST_F(Server, Regsvr32RegistersAndRemoves) {
  const std::wstring quoted = L"\"" + Library::Path() + L"\"";
  ASSERT_EQ(runAndWait(L"regsvr32.exe /s /u " + quoted), 0u);
  expectUnregistered();
  ASSERT_EQ(runAndWait(L"regsvr32.exe /s " + quoted), 0u);
  expectRegistered();
}

TEST_F(Server, ClassObjectOnlyForTheControl) {
  ASSERT_EQ(lib.Call("DllRegisterServer"), S_OK);
  using GetClass = HRESULT(STDAPICALLTYPE*)(REFCLSID, REFIID, void**);
  HMODULE m = GetModuleHandleW(Library::Path().c_str());
  auto get = reinterpret_cast<GetClass>(reinterpret_cast<void*>(GetProcAddress(m, "DllGetClassObject")));
  ASSERT_NE(get, nullptr);
  void* out = reinterpret_cast<void*>(1);
  EXPECT_EQ(get(IID_IPelmoraX, IID_IClassFactory, &out), CLASS_E_CLASSNOTAVAILABLE);
  EXPECT_EQ(out, nullptr);
  IClassFactory* factory = nullptr;
  ASSERT_EQ(get(CLSID_PelmoraX, IID_IClassFactory, reinterpret_cast<void**>(&factory)), S_OK);
  IUnknown* outer = reinterpret_cast<IUnknown*>(factory);  // any non-null outer
  IUnknown* made = nullptr;
  EXPECT_EQ(factory->CreateInstance(outer, IID_IUnknown, reinterpret_cast<void**>(&made)), CLASS_E_NOAGGREGATION);
  EXPECT_EQ(made, nullptr);
  // A live class object keeps the library loaded; with no control made yet
  // it may go once the class object is released.
  EXPECT_EQ(lib.Call("DllCanUnloadNow"), S_FALSE);
  factory->Release();
  EXPECT_EQ(lib.Call("DllCanUnloadNow"), S_OK);
}

// ---- the type library ----

enum Kind { Method, Get, Put };
struct Member {
  const wchar_t* name;
  DISPID id;
  Kind kind;
  VARTYPE type;  // the result (Method, Get) or the value put (Put)
  int inParams;
  bool hidden;
};

// IPelmoraX in vtable order.
const Member kMembers[] = {
      {L"Paint", 201, Method, VT_EMPTY, 0, false},
      {L"InitializeComm", 202, Method, VT_I4, 0, false},
      {L"CloseComm", 203, Method, VT_I4, 0, false},
      {L"PWMOptionSetting", 204, Method, VT_I4, 7, false},
      {L"DemoOutput", 205, Method, VT_I4, 1, false},
      {L"SensorRangeSetting", 206, Method, VT_I4, 2, false},
      {L"SensorZeroSetting", 207, Method, VT_I4, 2, false},
      {L"Pelmora", 208, Method, VT_I4, 1, false},
      {L"AutoSensorID", 209, Method, VT_I4, 0, false},
      {L"OutputLine", 210, Method, VT_I4, 1, false},
      {L"HighSpeedSetting", 211, Method, VT_I4, 2, false},
      {L"HighSpeedExperiment", 212, Method, VT_I4, 2, false},
      {L"HighSpeedExplorer", 213, Method, VT_I4, 0, false},
      {L"ReadBankInfo", 214, Method, VT_BSTR, 1, false},
      {L"LoadMemoryData", 215, Method, VT_EMPTY, 2, false},
      {L"EraseMemoryData", 216, Method, VT_I4, 2, false},
      {L"LoopCount", 217, Get, VT_I4, 0, false},
      {L"LoopCount", 217, Put, VT_I4, 1, false},
      {L"RunningMode", 218, Get, VT_I4, 0, false},
      {L"PelmoraType", 219, Get, VT_BSTR, 0, false},
      {L"VCPort", 220, Get, VT_I4, 0, false},
      {L"VCPort", 220, Put, VT_I4, 1, false},
      {L"PelmoraConnected", 221, Get, VT_BOOL, 0, false},
      {L"CHA", 222, Get, VT_BOOL, 0, false},
      {L"CHA", 222, Put, VT_BOOL, 1, false},
      {L"CHB", 223, Get, VT_BOOL, 0, false},
      {L"CHB", 223, Put, VT_BOOL, 1, false},
      {L"CHC", 224, Get, VT_BOOL, 0, false},
      {L"CHC", 224, Put, VT_BOOL, 1, false},
      {L"CHD", 225, Get, VT_BOOL, 0, false},
      {L"CHD", 225, Put, VT_BOOL, 1, false},
      {L"CHAUnit", 226, Get, VT_BSTR, 0, false},
      {L"CHAUnit", 226, Put, VT_BSTR, 1, false},
      {L"CHBUnit", 227, Get, VT_BSTR, 0, false},
      {L"CHBUnit", 227, Put, VT_BSTR, 1, false},
      {L"CHCUnit", 228, Get, VT_BSTR, 0, false},
      {L"CHCUnit", 228, Put, VT_BSTR, 1, false},
      {L"CHDUnit", 229, Get, VT_BSTR, 0, false},
      {L"CHDUnit", 229, Put, VT_BSTR, 1, false},
      {L"CHAID", 230, Get, VT_I4, 0, false},
      {L"CHBID", 231, Get, VT_I4, 0, false},
      {L"CHCID", 232, Get, VT_I4, 0, false},
      {L"CHDID", 233, Get, VT_I4, 0, false},
      {L"CHAName", 234, Get, VT_BSTR, 0, false},
      {L"CHAName", 234, Put, VT_BSTR, 1, false},
      {L"CHBName", 235, Get, VT_BSTR, 0, false},
      {L"CHBName", 235, Put, VT_BSTR, 1, false},
      {L"CHCName", 236, Get, VT_BSTR, 0, false},
      {L"CHCName", 236, Put, VT_BSTR, 1, false},
      {L"CHDName", 237, Get, VT_BSTR, 0, false},
      {L"CHDName", 237, Put, VT_BSTR, 1, false},
      {L"AControlIndex", 238, Get, VT_USERDEFINED, 0, false},
      {L"SamplingTime", 239, Get, VT_R8, 0, false},
      {L"SamplingTime", 239, Put, VT_R8, 1, false},
      {L"ExperimentLength", 240, Get, VT_R8, 0, false},
      {L"ExperimentLength", 240, Put, VT_R8, 1, false},
      {L"PinValue1", 241, Get, VT_I4, 0, false},
      {L"PinValue2", 242, Get, VT_I4, 0, false},
      {L"PinValue3", 243, Get, VT_I4, 0, false},
      {L"SensorRangeA", 244, Get, VT_USERDEFINED, 0, false},
      {L"SensorRangeB", 245, Get, VT_USERDEFINED, 0, false},
      {L"SensorRangeC", 246, Get, VT_USERDEFINED, 0, false},
      {L"PWMFreqValue", 247, Get, VT_I4, 0, false},
      {L"PWMFreqValue", 247, Put, VT_I4, 1, false},
      {L"PWMFreqSelect", 248, Get, VT_BOOL, 0, false},
      {L"PWMFreqSelect", 248, Put, VT_BOOL, 1, false},
      {L"CHInputMode", 249, Get, VT_USERDEFINED, 0, false},
      {L"CHInputMode", 249, Put, VT_USERDEFINED, 1, false},
      {L"CHOutput", 250, Get, VT_BOOL, 0, false},
      {L"CHOutput", 250, Put, VT_BOOL, 1, false},
      {L"TerminalBlockUse", 251, Get, VT_BOOL, 0, false},
      {L"TerminalBlockUse", 251, Put, VT_BOOL, 1, false},
      {L"NoOfStroboSlit", 252, Get, VT_I4, 0, false},
      {L"NoOfStroboSlit", 252, Put, VT_I4, 1, false},
      {L"ErrorNumber", 254, Get, VT_I4, 0, false},
      {L"ErrorNumber", 254, Put, VT_I4, 1, false},
      {L"Run", 255, Get, VT_BOOL, 0, false},
      {L"NoOfOverSampling", 256, Get, VT_I4, 0, false},
      {L"NoOfOverSampling", 256, Put, VT_I4, 1, false},
      {L"MemoryTotalIndex", 257, Get, VT_I4, 0, false},
      {L"LanguageID", 258, Get, VT_I4, 0, false},
      {L"ProductNo", 259, Get, VT_BSTR, 0, false},
      {L"VersionNo", 260, Get, VT_BSTR, 0, false},
      {L"FastSamplingMode", 261, Get, VT_BOOL, 0, false},
      {L"ExperimentMode", 262, Get, VT_I4, 0, false},
      {L"LangDirectory", 263, Get, VT_BSTR, 0, false},
      {L"DoubleBuffered", 264, Get, VT_BOOL, 0, true},
      {L"DoubleBuffered", 264, Put, VT_BOOL, 1, true},
      {L"AlignDisabled", 265, Get, VT_BOOL, 0, true},
      {L"VisibleDockClientCount", 266, Get, VT_I4, 0, true},
      {L"DrawTextBiDiModeFlagsReadingOnly", 267, Method, VT_I4, 0, false},
      {L"Enabled", -514, Get, VT_BOOL, 0, true},
      {L"Enabled", -514, Put, VT_BOOL, 1, true},
      {L"InitiateAction", 268, Method, VT_EMPTY, 0, false},
      {L"IsRightToLeft", 269, Method, VT_BOOL, 0, false},
      {L"UseRightToLeftReading", 270, Method, VT_BOOL, 0, false},
      {L"UseRightToLeftScrollBar", 271, Method, VT_BOOL, 0, false},
      {L"Visible", 272, Get, VT_BOOL, 0, true},
      {L"Visible", 272, Put, VT_BOOL, 1, true},
      {L"SetSubComponent", 273, Method, VT_EMPTY, 1, false},
      {L"AboutBox", -552, Method, VT_EMPTY, 0, false},
      {L"SetDigitalTiming", 274, Method, VT_EMPTY, 3, false},
      {L"SetConvertUnit", 275, Method, VT_EMPTY, 4, false},
      {L"InterfaceFunction_TimmingMode", 276, Get, VT_BOOL, 0, false},
      {L"DigitalTimmingMode", 277, Get, VT_BOOL, 0, false},
      {L"DigitalTimmingMode", 277, Put, VT_BOOL, 1, false},
      {L"SensorRangeD", 278, Get, VT_USERDEFINED, 0, false},
      {L"AutoStop", 279, Get, VT_BOOL, 0, false},
      {L"AutoStop", 279, Put, VT_BOOL, 1, false},
      {L"AutoDetect", 280, Get, VT_BOOL, 0, false},
      {L"AutoDetect", 280, Put, VT_BOOL, 1, false},
      {L"UseOnlyUSBSensor", 281, Get, VT_BOOL, 0, false},
      {L"UseOnlyUSBSensor", 281, Put, VT_BOOL, 1, false},
      {L"ThreadType", 282, Get, VT_BOOL, 0, false},
      {L"ThreadType", 282, Put, VT_BOOL, 1, false},
      {L"SetCalibratData", 283, Method, VT_BOOL, 2, false},
      {L"SetZeroMode", 253, Get, VT_BOOL, 0, false},
      {L"SetZeroMode", 253, Put, VT_BOOL, 1, false},
      {L"ZeroSetMode", 284, Get, VT_BOOL, 0, false},
      {L"ADC", 285, Get, VT_BOOL, 0, false},
      {L"ADC", 285, Put, VT_BOOL, 1, false},
      {L"GetCurrentValue", 286, Method, VT_BSTR, 0, false},
      {L"MaxRecordCount", 287, Get, VT_I4, 0, false},
      {L"MaxRecordCount", 287, Put, VT_I4, 1, false},
      {L"CheckForExperiment", 288, Get, VT_BOOL, 0, false},
      {L"CheckForExperiment", 288, Put, VT_BOOL, 1, false},
      {L"GetDataList", 289, Method, VT_BSTR, 0, false},
      {L"SetScopeRows", 290, Method, VT_EMPTY, 1, false},
      {L"GetSensorList", 291, Method, VT_BSTR, 0, false},
      {L"FindMultipleSensor", 292, Method, VT_I4, 1, false},
      {L"GetSensorSubID", 293, Method, VT_BSTR, 1, false},
      {L"GetSensorName", 294, Method, VT_BSTR, 2, false},
      {L"GetSensorUnit", 295, Method, VT_BSTR, 3, false},
      {L"GetSensorSignInvert", 296, Method, VT_BOOL, 1, false},
      {L"SetSensorSignInvert", 297, Method, VT_EMPTY, 2, false},
      {L"SetScopeTime", 298, Method, VT_EMPTY, 1, false},
      {L"SetScopeSensor", 299, Method, VT_EMPTY, 1, false},
      {L"ReadScopeData", 300, Method, VT_EMPTY, 1, false},
      {L"InterfaceFunction_ScopeMode", 301, Get, VT_BOOL, 0, false},
      {L"CHE", 302, Get, VT_BOOL, 0, false},
      {L"CHF", 303, Get, VT_BOOL, 0, false},
      {L"CHG", 304, Get, VT_BOOL, 0, false},
      {L"CHH", 305, Get, VT_BOOL, 0, false},
      {L"CHEUnit", 306, Get, VT_BSTR, 0, false},
      {L"CHEUnit", 306, Put, VT_BSTR, 1, false},
      {L"CHFUnit", 307, Get, VT_BSTR, 0, false},
      {L"CHFUnit", 307, Put, VT_BSTR, 1, false},
      {L"CHGUnit", 308, Get, VT_BSTR, 0, false},
      {L"CHGUnit", 308, Put, VT_BSTR, 1, false},
      {L"CHHUnit", 309, Get, VT_BSTR, 0, false},
      {L"CHHUnit", 309, Put, VT_BSTR, 1, false},
      {L"CHEID", 310, Get, VT_I4, 0, false},
      {L"CHFID", 311, Get, VT_I4, 0, false},
      {L"CHGID", 312, Get, VT_I4, 0, false},
      {L"CHHID", 313, Get, VT_I4, 0, false},
      {L"CHEName", 314, Get, VT_BSTR, 0, false},
      {L"CHEName", 314, Put, VT_BSTR, 1, false},
      {L"CHFName", 315, Get, VT_BSTR, 0, false},
      {L"CHFName", 315, Put, VT_BSTR, 1, false},
      {L"CHGName", 316, Get, VT_BSTR, 0, false},
      {L"CHGName", 316, Put, VT_BSTR, 1, false},
      {L"CHHName", 317, Get, VT_BSTR, 0, false},
      {L"CHHName", 317, Put, VT_BSTR, 1, false},
      {L"SensorRangeE", 318, Get, VT_USERDEFINED, 0, false},
      {L"SensorRangeF", 319, Get, VT_USERDEFINED, 0, false},
      {L"SensorRangeG", 320, Get, VT_USERDEFINED, 0, false},
      {L"SensorRangeH", 321, Get, VT_USERDEFINED, 0, false},
      {L"Mode8Port", 322, Get, VT_BOOL, 0, false},
      {L"SetChangeModeFor8Port", 323, Method, VT_BOOL, 1, false},
      {L"GetModeFor8Port", 324, Get, VT_BOOL, 0, false},
};

class TypeLibrary : public Server {
 protected:
  void SetUp() override {
    ASSERT_EQ(lib.Call("DllRegisterServer"), S_OK);
    ASSERT_EQ(LoadRegTypeLib(LIBID_PelmoraX, 1, 3, 0x409, &tl), S_OK);
  }
  void TearDown() override {
    if (tl) tl->Release();
  }
  ITypeInfo* info(REFGUID g) {
    ITypeInfo* ti = nullptr;
    EXPECT_EQ(tl->GetTypeInfoOfGuid(g, &ti), S_OK);
    return ti;
  }
  static std::wstring nameOf(ITypeInfo* ti, MEMBERID id) {
    BSTR n = nullptr;
    ti->GetDocumentation(id, &n, nullptr, nullptr, nullptr);
    std::wstring s = n ? n : L"";
    SysFreeString(n);
    return s;
  }
  static std::wstring docOf(ITypeInfo* ti) {
    BSTR d = nullptr;
    ti->GetDocumentation(MEMBERID_NIL, nullptr, &d, nullptr, nullptr);
    std::wstring s = d ? d : L"";
    SysFreeString(d);
    return s;
  }
  ITypeLib* tl = nullptr;
};

TEST_F(TypeLibrary, LibraryAttributesAndTypes) {
  TLIBATTR* a = nullptr;
  ASSERT_EQ(tl->GetLibAttr(&a), S_OK);
  EXPECT_EQ(a->wMajorVerNum, 1);
  EXPECT_EQ(a->wMinorVerNum, 3);
  EXPECT_EQ(a->lcid, 0x409u);
  EXPECT_EQ(a->syskind, SYS_WIN32);
  EXPECT_TRUE(a->wLibFlags & LIBFLAG_FCONTROL);
  tl->ReleaseTLibAttr(a);
  BSTR name = nullptr, doc = nullptr;
  ASSERT_EQ(tl->GetDocumentation(-1, &name, &doc, nullptr, nullptr), S_OK);
  EXPECT_STREQ(name, L"PelmoraX");
  EXPECT_STREQ(doc, L"PelmoraX Library");
  SysFreeString(name);
  SysFreeString(doc);
  // The seven type descriptions, each once.
  std::vector<std::wstring> names;
  for (UINT i = 0; i < tl->GetTypeInfoCount(); ++i) {
    BSTR n = nullptr;
    tl->GetDocumentation(static_cast<INT>(i), &n, nullptr, nullptr, nullptr);
    names.push_back(n);
    SysFreeString(n);
  }
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names, (std::vector<std::wstring>{L"IPelmoraX", L"IPelmoraXEvents", L"PelmoraX", L"TxCHInput",
                                               L"TxHighSpeedRunMode", L"TxPWMOption", L"TxSensorRangeType"}));
}

TEST_F(TypeLibrary, DualInterfaceMembersInVtableOrder) {
  ITypeInfo* disp = info(IID_IPelmoraX);
  ASSERT_NE(disp, nullptr);
  TYPEATTR* ta = nullptr;
  ASSERT_EQ(disp->GetTypeAttr(&ta), S_OK);
  EXPECT_EQ(ta->wTypeFlags & (TYPEFLAG_FDUAL | TYPEFLAG_FDISPATCHABLE), TYPEFLAG_FDUAL | TYPEFLAG_FDISPATCHABLE);
  EXPECT_EQ(ta->wMajorVerNum, 1);
  disp->ReleaseTypeAttr(ta);
  EXPECT_EQ(docOf(disp), L"Dispatch interface for PelmoraX Control");
  // The vtable half of the dual interface.
  HREFTYPE ref = 0;
  ASSERT_EQ(disp->GetRefTypeOfImplType(-1, &ref), S_OK);
  ITypeInfo* vt = nullptr;
  ASSERT_EQ(disp->GetRefTypeInfo(ref, &vt), S_OK);
  ASSERT_EQ(vt->GetTypeAttr(&ta), S_OK);
  EXPECT_EQ(ta->typekind, TKIND_INTERFACE);
  EXPECT_EQ(ta->wTypeFlags, 0x1140);
  EXPECT_EQ(ta->cFuncs, 170);
  // 177 slots of the library's 32-bit pointers; the offsets a loaded
  // library reports are in the process's own pointer size.
  EXPECT_EQ(ta->cbSizeVft, 177 * 4);
  vt->ReleaseTypeAttr(ta);
  for (UINT i = 0; i < 170; ++i) {
    const Member& m = kMembers[i];
    SCOPED_TRACE(testing::Message() << i << ' ' << std::string(m.name, m.name + wcslen(m.name)));
    FUNCDESC* f = nullptr;
    ASSERT_EQ(vt->GetFuncDesc(i, &f), S_OK);
    EXPECT_EQ(nameOf(vt, f->memid), m.name);
    EXPECT_EQ(f->memid, m.id);
    EXPECT_EQ(f->oVft, static_cast<SHORT>((7 + i) * sizeof(void*)));
    EXPECT_EQ(f->invkind, m.kind == Get ? INVOKE_PROPERTYGET : m.kind == Put ? INVOKE_PROPERTYPUT : INVOKE_FUNC);
    EXPECT_EQ(f->elemdescFunc.tdesc.vt, VT_HRESULT);
    EXPECT_EQ((f->wFuncFlags & FUNCFLAG_FHIDDEN) != 0, m.hidden);
    const bool hasResult = m.kind == Get || (m.kind == Method && m.type != VT_EMPTY);
    ASSERT_EQ(f->cParams, m.inParams + (hasResult ? 1 : 0));
    if (hasResult) {
      const ELEMDESC& last = f->lprgelemdescParam[f->cParams - 1];
      EXPECT_EQ(last.paramdesc.wParamFlags & (PARAMFLAG_FOUT | PARAMFLAG_FRETVAL), PARAMFLAG_FOUT | PARAMFLAG_FRETVAL);
      ASSERT_EQ(last.tdesc.vt, VT_PTR);
      EXPECT_EQ(last.tdesc.lptdesc->vt, m.type);
    }
    if (m.kind == Put) {
      EXPECT_EQ(f->lprgelemdescParam[0].tdesc.vt, m.type);
    }
    vt->ReleaseFuncDesc(f);
  }
  vt->Release();
  disp->Release();
}

TEST_F(TypeLibrary, EventsCoclassAndEnumerations) {
  ITypeInfo* ev = info(DIID_IPelmoraXEvents);
  ASSERT_NE(ev, nullptr);
  TYPEATTR* ta = nullptr;
  ASSERT_EQ(ev->GetTypeAttr(&ta), S_OK);
  EXPECT_EQ(ta->typekind, TKIND_DISPATCH);
  EXPECT_EQ(ta->wTypeFlags, 0x1000);
  ASSERT_EQ(ta->cFuncs, 4);
  ev->ReleaseTypeAttr(ta);
  EXPECT_EQ(docOf(ev), L"Events interface for PelmoraX Control");
  struct Ev {
    const wchar_t* name;
    DISPID id;
    VARTYPE arg;
  };
  const Ev events[] = {{L"DataReceived", 201, VT_BSTR},
                       {L"PelmoraError", 202, VT_I4},
                       {L"StartExperiment", 203, VT_EMPTY},
                       {L"StopExperiment", 204, VT_EMPTY}};
  for (UINT i = 0; i < 4; ++i) {
    FUNCDESC* f = nullptr;
    ASSERT_EQ(ev->GetFuncDesc(i, &f), S_OK);
    EXPECT_EQ(nameOf(ev, f->memid), events[i].name);
    EXPECT_EQ(f->memid, events[i].id);
    EXPECT_EQ(f->elemdescFunc.tdesc.vt, VT_VOID);
    EXPECT_EQ(f->cParams, events[i].arg == VT_EMPTY ? 0 : 1);
    if (f->cParams == 1) {
      EXPECT_EQ(f->lprgelemdescParam[0].tdesc.vt, events[i].arg);
    }
    ev->ReleaseFuncDesc(f);
  }
  ev->Release();

  ITypeInfo* co = info(CLSID_PelmoraX);
  ASSERT_NE(co, nullptr);
  ASSERT_EQ(co->GetTypeAttr(&ta), S_OK);
  EXPECT_EQ(ta->wTypeFlags, 0x22);
  EXPECT_EQ(ta->cImplTypes, 2);
  co->ReleaseTypeAttr(ta);
  EXPECT_EQ(docOf(co), L"PelmoraX Control");
  for (UINT i = 0; i < 2; ++i) {
    INT flags = 0;
    HREFTYPE ref = 0;
    ITypeInfo* impl = nullptr;
    ASSERT_EQ(co->GetImplTypeFlags(i, &flags), S_OK);
    ASSERT_EQ(co->GetRefTypeOfImplType(i, &ref), S_OK);
    ASSERT_EQ(co->GetRefTypeInfo(ref, &impl), S_OK);
    const std::wstring n = nameOf(impl, MEMBERID_NIL);
    if (n == L"IPelmoraX") {
      EXPECT_EQ(flags, IMPLTYPEFLAG_FDEFAULT);
    } else {
      EXPECT_EQ(flags, IMPLTYPEFLAG_FDEFAULT | IMPLTYPEFLAG_FSOURCE) << std::string(n.begin(), n.end());
    }
    impl->Release();
  }
  co->Release();

  struct Enum {
    const wchar_t* type;
    std::vector<std::wstring> members;
  };
  const Enum enums[] = {
      {L"TxPWMOption",
       {L"PWM", L"DC_Valtage", L"Sine_Wave", L"Square_Wave", L"Pyramidal_Wave", L"Sawtooth_Wave_Ramp_Up",
        L"Sawtooth_Wave_Ramp_Down"}},
      {L"TxSensorRangeType", {L"Full_Range", L"General_Purpose", L"Sensitivae_Range"}},
      {L"TxHighSpeedRunMode", {L"CommandMode", L"InterfaceMode"}},
      {L"TxCHInput", {L"Digital", L"Analog", L"Scope"}},
  };
  for (const Enum& e : enums) {
    ITypeInfo* ti = nullptr;
    MEMBERID id = 0;
    USHORT found = 1;
    std::wstring n = e.type;
    ASSERT_EQ(tl->FindName(n.data(), 0, &ti, &id, &found), S_OK);
    ASSERT_EQ(found, 1);
    ASSERT_EQ(ti->GetTypeAttr(&ta), S_OK);
    EXPECT_EQ(ta->typekind, TKIND_ENUM);
    ASSERT_EQ(ta->cVars, e.members.size());
    ti->ReleaseTypeAttr(ta);
    for (UINT i = 0; i < e.members.size(); ++i) {
      VARDESC* v = nullptr;
      ASSERT_EQ(ti->GetVarDesc(i, &v), S_OK);
      EXPECT_EQ(nameOf(ti, v->memid), e.members[i]);
      EXPECT_EQ(V_I4(v->lpvarValue), static_cast<LONG>(i));
      ti->ReleaseVarDesc(v);
    }
    ti->Release();
  }
}

}  // namespace
