// The IPelmoraX members of the high-speed captures, memory banks, digital
// timing options, scope reads and the 8-port switch. Built as forwarders
// when the device link has these methods (PELMORAX_BANK_METHODS=1); until
// then each member fails with E_NOTIMPL and says why.
#include "activex/ForwardHelpers.h"
#include "activex/PelmoraImpl.h"

#ifndef PELMORAX_BANK_METHODS
#define PELMORAX_BANK_METHODS 0
#endif

namespace pel::com {

using fwd::Call;
using fwd::Get;

#if PELMORAX_BANK_METHODS

HRESULT TPelmoraX::HighSpeedSetting(LONG pCH, double pSpeed, LONG* v) {
  return Get(v, [&] { return D().HighSpeedSetting(pCH, pSpeed); });
}
HRESULT TPelmoraX::HighSpeedExperiment(VARIANT_BOOL pRun, ComHighSpeedRunMode pMode, LONG* v) {
  // The mode goes on as a number.
  return Get(v, [&] { return D().HighSpeedExperiment(FromBool(pRun), static_cast<TxHighSpeedRunMode>(pMode)); });
}
HRESULT TPelmoraX::HighSpeedExplorer(LONG* v) {
  return Get(v, [&] { return D().HighSpeedExplorer(); });
}
HRESULT TPelmoraX::ReadBankInfo(LONG pBank, BSTR* v) {
  return Get(v, [&] { return D().ReadBankInfo(pBank); });
}
HRESULT TPelmoraX::LoadMemoryData(LONG pBank, VARIANT_BOOL pRun) {
  return Call([&] { D().LoadMemoryData(pBank, FromBool(pRun)); });
}
HRESULT TPelmoraX::EraseMemoryData(LONG pBank, VARIANT_BOOL pAll, LONG* v) {
  return Get(v, [&] { return D().EraseMemoryData(pBank, FromBool(pAll)); });
}
HRESULT TPelmoraX::SetDigitalTiming(VARIANT_BOOL p1, VARIANT_BOOL p2, VARIANT_BOOL p3) {
  return Call([&] { D().SetDigitalTiming(FromBool(p1), FromBool(p2), FromBool(p3)); });
}
HRESULT TPelmoraX::SetScopeRows(LONG Rows) {
  return Call([&] { D().SetScopeRows(Rows); });
}
HRESULT TPelmoraX::SetScopeTime(LONG Time) {
  return Call([&] { D().SetScopeTime(Time); });
}
HRESULT TPelmoraX::SetScopeSensor(BSTR SensorList) {
  return Call([&] { D().SetScopeSensor(FromBstr(SensorList)); });
}
HRESULT TPelmoraX::ReadScopeData(VARIANT_BOOL Flag) {
  return Call([&] { D().ReadScopeData(FromBool(Flag)); });
}
HRESULT TPelmoraX::SetChangeModeFor8Port(VARIANT_BOOL pValue, VARIANT_BOOL* v) {
  return Get(v, [&] { return D().SetChangeModeFor8Port(FromBool(pValue)); });
}

#else

namespace {
HRESULT Missing(const char* member) {
  return Call([&] { throw ComError(E_NOTIMPL, std::string(member) + " is not available in this build of PelmoraX"); });
}
template <class T>
HRESULT MissingWithResult(T* out, const char* member) {
  if (!out) return E_POINTER;
  *out = T{};
  return Missing(member);
}
}  // namespace

HRESULT TPelmoraX::HighSpeedSetting(LONG, double, LONG* v) { return MissingWithResult(v, "HighSpeedSetting"); }
HRESULT TPelmoraX::HighSpeedExperiment(VARIANT_BOOL, ComHighSpeedRunMode, LONG* v) {
  return MissingWithResult(v, "HighSpeedExperiment");
}
HRESULT TPelmoraX::HighSpeedExplorer(LONG* v) { return MissingWithResult(v, "HighSpeedExplorer"); }
HRESULT TPelmoraX::ReadBankInfo(LONG, BSTR* v) { return MissingWithResult(v, "ReadBankInfo"); }
HRESULT TPelmoraX::LoadMemoryData(LONG, VARIANT_BOOL) { return Missing("LoadMemoryData"); }
HRESULT TPelmoraX::EraseMemoryData(LONG, VARIANT_BOOL, LONG* v) { return MissingWithResult(v, "EraseMemoryData"); }
HRESULT TPelmoraX::SetDigitalTiming(VARIANT_BOOL, VARIANT_BOOL, VARIANT_BOOL) { return Missing("SetDigitalTiming"); }
HRESULT TPelmoraX::SetScopeRows(LONG) { return Missing("SetScopeRows"); }
HRESULT TPelmoraX::SetScopeTime(LONG) { return Missing("SetScopeTime"); }
HRESULT TPelmoraX::SetScopeSensor(BSTR) { return Missing("SetScopeSensor"); }
HRESULT TPelmoraX::ReadScopeData(VARIANT_BOOL) { return Missing("ReadScopeData"); }
HRESULT TPelmoraX::SetChangeModeFor8Port(VARIANT_BOOL, VARIANT_BOOL* v) {
  return MissingWithResult(v, "SetChangeModeFor8Port");
}

#endif

}  // namespace pel::com
