// The IPelmoraX members of the high-speed captures, memory banks, digital
// timing options, scope reads and the 8-port switch.
#include "activex/ForwardHelpers.h"
#include "activex/PelmoraImpl.h"

namespace pel::com {

using fwd::Call;
using fwd::Get;

HRESULT TPelmoraX::HighSpeedSetting(LONG pCH, double pSpeed, LONG* v) {
  return Get(v, [&] { return D()->HighSpeedSetting(pCH, pSpeed); });
}
HRESULT TPelmoraX::HighSpeedExperiment(VARIANT_BOOL pRun, ComHighSpeedRunMode pMode, LONG* v) {
  // The mode goes on as a number.
  return Get(v, [&] { return D()->HighSpeedExperiment(FromBool(pRun), static_cast<TxHighSpeedRunMode>(pMode)); });
}
HRESULT TPelmoraX::HighSpeedExplorer(LONG* v) {
  return Get(v, [&] { return D()->HighSpeedExplorer(); });
}
HRESULT TPelmoraX::ReadBankInfo(LONG pBank, BSTR* v) {
  return Get(v, [&] { return D()->ReadBankInfo(pBank); });
}
HRESULT TPelmoraX::LoadMemoryData(LONG pBank, VARIANT_BOOL pRun) {
  return Call([&] { D()->LoadMemoryData(pBank, FromBool(pRun)); });
}
HRESULT TPelmoraX::EraseMemoryData(LONG pBank, VARIANT_BOOL pAll, LONG* v) {
  return Get(v, [&] { return D()->EraseMemoryData(pBank, FromBool(pAll)); });
}
HRESULT TPelmoraX::SetDigitalTiming(VARIANT_BOOL p1, VARIANT_BOOL p2, VARIANT_BOOL p3) {
  return Call([&] { D()->SetDigitalTiming(FromBool(p1), FromBool(p2), FromBool(p3)); });
}
HRESULT TPelmoraX::SetScopeRows(LONG Rows) {
  return Call([&] { D()->SetScopeRows(Rows); });
}
HRESULT TPelmoraX::SetScopeTime(LONG Time) {
  return Call([&] { D()->SetScopeTime(Time); });
}
HRESULT TPelmoraX::SetScopeSensor(BSTR SensorList) {
  return Call([&] { D()->SetScopeSensor(FromBstr(SensorList)); });
}
HRESULT TPelmoraX::ReadScopeData(VARIANT_BOOL Flag) {
  return Call([&] { D()->ReadScopeData(FromBool(Flag)); });
}
HRESULT TPelmoraX::SetChangeModeFor8Port(VARIANT_BOOL pValue, VARIANT_BOOL* v) {
  return Get(v, [&] { return D()->SetChangeModeFor8Port(FromBool(pValue)); });
}

}  // namespace pel::com
