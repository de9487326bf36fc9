// The properties of IPelmoraX on the hosted TPelmora's fields and setters.
#include "activex/ForwardHelpers.h"
#include "activex/PelmoraImpl.h"

namespace pel::com {

using fwd::Call;
using fwd::Get;
using fwd::LinkEnum;

HRESULT TPelmoraX::get_LoopCount(LONG* v) { return Get(v, [&] { return D()->F_.LoopCount; }); }
HRESULT TPelmoraX::put_LoopCount(LONG v) { return Call([&] { D()->F_.LoopCount = v; }); }
HRESULT TPelmoraX::get_RunningMode(LONG* v) { return Get(v, [&] { return D()->F_.RunningMode; }); }
HRESULT TPelmoraX::get_PelmoraType(BSTR* v) { return Get(v, [&] { return D()->PelmoraType(); }); }
HRESULT TPelmoraX::get_VCPort(LONG* v) { return Get(v, [&] { return D()->F_.VCPort; }); }
HRESULT TPelmoraX::put_VCPort(LONG v) { return Call([&] { D()->VCPort(v); }); }
HRESULT TPelmoraX::get_PelmoraConnected(VARIANT_BOOL* v) { return Get(v, [&] { return D()->F_.PelmoraConnected; }); }
HRESULT TPelmoraX::get_AControlIndex(TxPWMOption* v) { return Get(v, [&] { return D()->F_.AControlIndex; }); }
HRESULT TPelmoraX::get_SamplingTime(double* v) { return Get(v, [&] { return D()->F_.SamplingTime; }); }
HRESULT TPelmoraX::put_SamplingTime(double v) { return Call([&] { D()->SamplingTime(v); }); }
HRESULT TPelmoraX::get_ExperimentLength(double* v) { return Get(v, [&] { return D()->F_.ExperimentLength; }); }
HRESULT TPelmoraX::put_ExperimentLength(double v) { return Call([&] { D()->ExperimentLength(v); }); }
HRESULT TPelmoraX::get_PinValue1(LONG* v) { return Get(v, [&] { return D()->PinValue1(); }); }
HRESULT TPelmoraX::get_PinValue2(LONG* v) { return Get(v, [&] { return D()->PinValue2(); }); }
HRESULT TPelmoraX::get_PinValue3(LONG* v) { return Get(v, [&] { return D()->PinValue3(); }); }
HRESULT TPelmoraX::get_PWMFreqValue(LONG* v) { return Get(v, [&] { return D()->F_.PWMFreqValue; }); }
HRESULT TPelmoraX::put_PWMFreqValue(LONG v) { return Call([&] { D()->PWMFreqValue(v); }); }
HRESULT TPelmoraX::get_PWMFreqSelect(VARIANT_BOOL* v) { return Get(v, [&] { return D()->F_.PWMFreqSelect; }); }
HRESULT TPelmoraX::put_PWMFreqSelect(VARIANT_BOOL v) { return Call([&] { D()->PWMFreqSelect(FromBool(v)); }); }
HRESULT TPelmoraX::get_CHInputMode(TxCHInput* v) { return Get(v, [&] { return D()->F_.CHInputMode; }); }
HRESULT TPelmoraX::put_CHInputMode(TxCHInput v) {
  return Call([&] { D()->CHInputMode(LinkEnum<CHInput>(v, "CHInputMode")); });
}
HRESULT TPelmoraX::get_CHOutput(VARIANT_BOOL* v) { return Get(v, [&] { return D()->F_.CHOutput; }); }
HRESULT TPelmoraX::put_CHOutput(VARIANT_BOOL v) { return Call([&] { D()->CHOutput(FromBool(v)); }); }
HRESULT TPelmoraX::get_TerminalBlockUse(VARIANT_BOOL* v) { return Get(v, [&] { return D()->F_.TerminalBlockUse; }); }
HRESULT TPelmoraX::put_TerminalBlockUse(VARIANT_BOOL v) {
  return Call([&] { D()->F_.TerminalBlockUse = FromBool(v); });
}
HRESULT TPelmoraX::get_NoOfStroboSlit(LONG* v) { return Get(v, [&] { return D()->F_.NoOfStroboSlit; }); }
HRESULT TPelmoraX::put_NoOfStroboSlit(LONG v) { return Call([&] { D()->NoOfStroboSlit(v); }); }
HRESULT TPelmoraX::get_ErrorNumber(LONG* v) { return Get(v, [&] { return D()->F_.ErrorNumber; }); }
HRESULT TPelmoraX::put_ErrorNumber(LONG v) { return Call([&] { D()->F_.ErrorNumber = v; }); }
HRESULT TPelmoraX::get_Run(VARIANT_BOOL* v) { return Get(v, [&] { return D()->F_.Run; }); }
HRESULT TPelmoraX::get_NoOfOverSampling(LONG* v) { return Get(v, [&] { return D()->F_.NoOfOverSampling; }); }
HRESULT TPelmoraX::put_NoOfOverSampling(LONG v) { return Call([&] { D()->NoOfOverSampling(v); }); }
HRESULT TPelmoraX::get_MemoryTotalIndex(LONG* v) { return Get(v, [&] { return D()->F_.MemoryTotalIndex; }); }
HRESULT TPelmoraX::get_LanguageID(LONG* v) { return Get(v, [&] { return D()->F_.LanguageID; }); }
HRESULT TPelmoraX::get_ProductNo(BSTR* v) { return Get(v, [&] { return D()->F_.ProductNo; }); }
HRESULT TPelmoraX::get_VersionNo(BSTR* v) { return Get(v, [&] { return D()->F_.VersionNo; }); }
HRESULT TPelmoraX::get_FastSamplingMode(VARIANT_BOOL* v) { return Get(v, [&] { return D()->F_.FastSamplingMode; }); }
HRESULT TPelmoraX::get_ExperimentMode(LONG* v) { return Get(v, [&] { return D()->F_.ExperimentMode; }); }
HRESULT TPelmoraX::get_LangDirectory(BSTR* v) { return Get(v, [&] { return D()->LangDirectory(); }); }
HRESULT TPelmoraX::get_InterfaceFunction_TimmingMode(VARIANT_BOOL* v) {
  return Get(v, [&] { return D()->F_.InterfaceFunction_TimmingMode; });
}
HRESULT TPelmoraX::get_DigitalTimmingMode(VARIANT_BOOL* v) {
  return Get(v, [&] { return D()->F_.DigitalTimmingMode; });
}
HRESULT TPelmoraX::put_DigitalTimmingMode(VARIANT_BOOL v) {
  return Call([&] { D()->F_.DigitalTimmingMode = FromBool(v); });
}
HRESULT TPelmoraX::get_AutoStop(VARIANT_BOOL* v) { return Get(v, [&] { return D()->F_.AutoStop; }); }
HRESULT TPelmoraX::put_AutoStop(VARIANT_BOOL v) { return Call([&] { D()->F_.AutoStop = FromBool(v); }); }
HRESULT TPelmoraX::get_AutoDetect(VARIANT_BOOL* v) { return Get(v, [&] { return D()->F_.AutoDetect; }); }
HRESULT TPelmoraX::put_AutoDetect(VARIANT_BOOL v) { return Call([&] { D()->F_.AutoDetect = FromBool(v); }); }
HRESULT TPelmoraX::get_UseOnlyUSBSensor(VARIANT_BOOL* v) { return Get(v, [&] { return D()->F_.UseOnlyUSBSensor; }); }
HRESULT TPelmoraX::put_UseOnlyUSBSensor(VARIANT_BOOL v) {
  return Call([&] { D()->F_.UseOnlyUSBSensor = FromBool(v); });
}
HRESULT TPelmoraX::get_ThreadType(VARIANT_BOOL* v) { return Get(v, [&] { return D()->F_.ThreadType; }); }
HRESULT TPelmoraX::put_ThreadType(VARIANT_BOOL v) { return Call([&] { D()->F_.ThreadType = FromBool(v); }); }
HRESULT TPelmoraX::get_SetZeroMode(VARIANT_BOOL* v) { return Get(v, [&] { return D()->F_.SetZeroMode; }); }
HRESULT TPelmoraX::put_SetZeroMode(VARIANT_BOOL v) { return Call([&] { D()->F_.SetZeroMode = FromBool(v); }); }
HRESULT TPelmoraX::get_ZeroSetMode(VARIANT_BOOL* v) { return Get(v, [&] { return D()->F_.SetZeroMode; }); }
HRESULT TPelmoraX::get_ADC(VARIANT_BOOL* v) { return Get(v, [&] { return D()->F_.ADC; }); }
HRESULT TPelmoraX::put_ADC(VARIANT_BOOL v) { return Call([&] { D()->F_.ADC = FromBool(v); }); }
HRESULT TPelmoraX::get_MaxRecordCount(LONG* v) { return Get(v, [&] { return D()->F_.Max_Record_Count; }); }
HRESULT TPelmoraX::put_MaxRecordCount(LONG v) { return Call([&] { D()->F_.Max_Record_Count = v; }); }
HRESULT TPelmoraX::get_CheckForExperiment(VARIANT_BOOL* v) {
  return Get(v, [&] { return D()->F_.CheckForExperiment; });
}
HRESULT TPelmoraX::put_CheckForExperiment(VARIANT_BOOL v) {
  return Call([&] { D()->F_.CheckForExperiment = FromBool(v); });
}
HRESULT TPelmoraX::get_InterfaceFunction_ScopeMode(VARIANT_BOOL* v) {
  return Get(v, [&] { return D()->F_.InterfaceFunction_ScopeMode; });
}
HRESULT TPelmoraX::get_Mode8Port(VARIANT_BOOL* v) { return Get(v, [&] { return D()->F_.Mode8Port; }); }
HRESULT TPelmoraX::get_GetModeFor8Port(VARIANT_BOOL* v) { return Get(v, [&] { return D()->F_.GetModeFor8Port; }); }

}  // namespace pel::com
