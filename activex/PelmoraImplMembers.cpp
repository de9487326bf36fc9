// The members of IPelmoraX, forwarded one to one to the hosted TPelmora.
#include "activex/About1.h"
#include "activex/ForwardHelpers.h"
#include "activex/PelmoraImpl.h"

namespace pel::com {

using fwd::Call;
using fwd::Get;

namespace {
// Enumerations pass to the device link as numbers, members or not: the link
// decides and reports through its error numbers. Its twins hold a byte, so
// a number beyond one could only arrive as another member, and is refused.
template <class E>
E LinkEnum(long v, const char* what) {
  if (v < 0 || v > 0xFF) throw ComError(E_INVALIDARG, std::string(what) + " is beyond the device link's reach");
  return static_cast<E>(v);
}
}  // namespace

// ---- methods ----

HRESULT TPelmoraX::Paint() {
  return Call([&] { D()->Paint(); });
}
HRESULT TPelmoraX::InitializeComm(LONG* v) {
  return Get(v, [&] { return D()->InitializeComm(); });
}
HRESULT TPelmoraX::CloseComm(LONG* v) {
  return Get(v, [&] { return D()->CloseComm(); });
}
HRESULT TPelmoraX::PWMOptionSetting(VARIANT_BOOL pPWM, TxPWMOption pPWMOption, VARIANT_BOOL pPWMSelect,
                                    LONG pPWMFreqvalue, LONG pPinValue1, LONG pPinValue2, LONG pPinValue3,
                                    LONG* v) {
  return Get(v, [&] {
    return D()->PWMOptionSetting(FromBool(pPWM), LinkEnum<PWMOption>(pPWMOption, "pPWMOption"), FromBool(pPWMSelect),
                                pPWMFreqvalue, pPinValue1, pPinValue2, pPinValue3);
  });
}
HRESULT TPelmoraX::DemoOutput(VARIANT_BOOL RunMode, LONG* v) {
  return Get(v, [&] { return D()->DemoOutput(FromBool(RunMode)); });
}
HRESULT TPelmoraX::SensorRangeSetting(LONG pCH, TxSensorRangeType pRange, LONG* v) {
  // Any ordinal goes through: the device link refuses those out of reach.
  return Get(v, [&] { return D()->SensorRangeSetting(static_cast<int>(pCH), static_cast<int>(pRange)); });
}
HRESULT TPelmoraX::SensorZeroSetting(LONG pCH, VARIANT_BOOL pSetting, LONG* v) {
  return Get(v, [&] { return D()->SensorZeroSetting(pCH, FromBool(pSetting)); });
}
HRESULT TPelmoraX::Pelmora(VARIANT_BOOL pRun, LONG* v) {
  return Get(v, [&] { return D()->Pelmora(FromBool(pRun)); });
}
HRESULT TPelmoraX::AutoSensorID(LONG* v) {
  return Get(v, [&] { return D()->AutoSensorID(); });
}
HRESULT TPelmoraX::OutputLine(LONG iFlag, LONG* v) {
  return Get(v, [&] { return D()->OutputLine(iFlag); });
}
HRESULT TPelmoraX::AboutBox() {
  return Call([&] { ShowAboutBox(); });
}
HRESULT TPelmoraX::SetConvertUnit(LONG Index, LONG pType, double pA, double pB) {
  return Call([&] { D()->SetConvertUnit(Index, pType, pA, pB); });
}
HRESULT TPelmoraX::SetCalibratData(LONG pCH, double pValue, VARIANT_BOOL* v) {
  return Get(v, [&] { return D()->SetCalibratData(pCH, pValue); });
}
HRESULT TPelmoraX::GetCurrentValue(BSTR* v) {
  return Get(v, [&] { return D()->GetCurrentValue(); });
}
HRESULT TPelmoraX::GetDataList(BSTR* v) {
  return Get(v, [&] { return D()->GetDataList(); });
}
HRESULT TPelmoraX::GetSensorList(BSTR* v) {
  return Get(v, [&] { return D()->GetSensorList(); });
}
HRESULT TPelmoraX::FindMultipleSensor(LONG SensorID, LONG* v) {
  return Get(v, [&] { return D()->FindMultipleSensor(SensorID); });
}
HRESULT TPelmoraX::GetSensorSubID(LONG SensorID, BSTR* v) {
  return Get(v, [&] { return D()->GetSensorSubID(SensorID); });
}
HRESULT TPelmoraX::GetSensorName(LONG SensorID, VARIANT_BOOL Full, BSTR* v) {
  return Get(v, [&] { return D()->GetSensorName(SensorID, FromBool(Full)); });
}
HRESULT TPelmoraX::GetSensorUnit(LONG SensorID, VARIANT_BOOL Full, VARIANT_BOOL Name, BSTR* v) {
  return Get(v, [&] { return D()->GetSensorUnit(SensorID, FromBool(Full), FromBool(Name)); });
}
HRESULT TPelmoraX::GetSensorSignInvert(LONG Channel, VARIANT_BOOL* v) {
  return Get(v, [&] { return D()->GetSignInvert(Channel); });
}
HRESULT TPelmoraX::SetSensorSignInvert(LONG Channel, VARIANT_BOOL Invert) {
  return Call([&] { D()->SetSignInvert(Channel, FromBool(Invert)); });
}

// ---- properties on fields and accessors ----

#define PX_GET(Prop, Type, expr) \
  HRESULT TPelmoraX::get_##Prop(Type* v) { return Get(v, [&] { return expr; }); }
#define PX_PUT(Prop, Type, stmt) \
  HRESULT TPelmoraX::put_##Prop(Type v) { return Call([&] { stmt; }); }
#define PX_BOOL_FIELD(Prop, Field) \
  PX_GET(Prop, VARIANT_BOOL, D()->F_.Field) PX_PUT(Prop, VARIANT_BOOL, D()->F_.Field = FromBool(v))
#define PX_INT_FIELD(Prop, Field) PX_GET(Prop, LONG, D()->F_.Field) PX_PUT(Prop, LONG, D()->F_.Field = v)

PX_INT_FIELD(LoopCount, LoopCount)
PX_GET(RunningMode, LONG, D()->F_.RunningMode)
PX_GET(PelmoraType, BSTR, D()->PelmoraType())
PX_GET(VCPort, LONG, D()->F_.VCPort)
PX_PUT(VCPort, LONG, D()->VCPort(v))
PX_GET(PelmoraConnected, VARIANT_BOOL, D()->F_.PelmoraConnected)

#define PX_CHANNEL_RW(L)                                  \
  PX_GET(CH##L, VARIANT_BOOL, D()->CH##L())                \
  PX_PUT(CH##L, VARIANT_BOOL, D()->CH##L(FromBool(v)))     \
  PX_GET(CH##L##Unit, BSTR, D()->CH##L##Unit())            \
  PX_PUT(CH##L##Unit, BSTR, D()->CH##L##Unit(FromBstr(v))) \
  PX_GET(CH##L##ID, LONG, D()->CH##L##ID())                \
  PX_GET(CH##L##Name, BSTR, D()->CH##L##Name())            \
  PX_PUT(CH##L##Name, BSTR, D()->CH##L##Name(FromBstr(v))) \
  PX_GET(SensorRange##L, TxSensorRangeType, D()->SensorRange##L())
// Channels E to H: the active flag is read only.
#define PX_CHANNEL_RO(L)                                  \
  PX_GET(CH##L, VARIANT_BOOL, D()->CH##L())                \
  PX_GET(CH##L##Unit, BSTR, D()->CH##L##Unit())            \
  PX_PUT(CH##L##Unit, BSTR, D()->CH##L##Unit(FromBstr(v))) \
  PX_GET(CH##L##ID, LONG, D()->CH##L##ID())                \
  PX_GET(CH##L##Name, BSTR, D()->CH##L##Name())            \
  PX_PUT(CH##L##Name, BSTR, D()->CH##L##Name(FromBstr(v))) \
  PX_GET(SensorRange##L, TxSensorRangeType, D()->SensorRange##L())
PX_CHANNEL_RW(A)
PX_CHANNEL_RW(B)
PX_CHANNEL_RW(C)
PX_CHANNEL_RW(D)
PX_CHANNEL_RO(E)
PX_CHANNEL_RO(F)
PX_CHANNEL_RO(G)
PX_CHANNEL_RO(H)

PX_GET(AControlIndex, TxPWMOption, D()->F_.AControlIndex)
PX_GET(SamplingTime, double, D()->F_.SamplingTime)
PX_PUT(SamplingTime, double, D()->SamplingTime(v))
PX_GET(ExperimentLength, double, D()->F_.ExperimentLength)
PX_PUT(ExperimentLength, double, D()->ExperimentLength(v))
PX_GET(PinValue1, LONG, D()->PinValue1())
PX_GET(PinValue2, LONG, D()->PinValue2())
PX_GET(PinValue3, LONG, D()->PinValue3())
PX_GET(PWMFreqValue, LONG, D()->F_.PWMFreqValue)
PX_PUT(PWMFreqValue, LONG, D()->PWMFreqValue(v))
PX_GET(PWMFreqSelect, VARIANT_BOOL, D()->F_.PWMFreqSelect)
PX_PUT(PWMFreqSelect, VARIANT_BOOL, D()->PWMFreqSelect(FromBool(v)))
PX_GET(CHInputMode, TxCHInput, D()->F_.CHInputMode)
PX_PUT(CHInputMode, TxCHInput, D()->CHInputMode(LinkEnum<CHInput>(v, "CHInputMode")))
PX_GET(CHOutput, VARIANT_BOOL, D()->F_.CHOutput)
PX_PUT(CHOutput, VARIANT_BOOL, D()->CHOutput(FromBool(v)))
PX_BOOL_FIELD(TerminalBlockUse, TerminalBlockUse)
PX_GET(NoOfStroboSlit, LONG, D()->F_.NoOfStroboSlit)
PX_PUT(NoOfStroboSlit, LONG, D()->NoOfStroboSlit(v))
PX_INT_FIELD(ErrorNumber, ErrorNumber)
PX_GET(Run, VARIANT_BOOL, D()->F_.Run)
PX_GET(NoOfOverSampling, LONG, D()->F_.NoOfOverSampling)
PX_PUT(NoOfOverSampling, LONG, D()->NoOfOverSampling(v))
PX_GET(MemoryTotalIndex, LONG, D()->F_.MemoryTotalIndex)
PX_GET(LanguageID, LONG, D()->F_.LanguageID)
PX_GET(ProductNo, BSTR, D()->F_.ProductNo)
PX_GET(VersionNo, BSTR, D()->F_.VersionNo)
PX_GET(FastSamplingMode, VARIANT_BOOL, D()->F_.FastSamplingMode)
PX_GET(ExperimentMode, LONG, D()->F_.ExperimentMode)
PX_GET(LangDirectory, BSTR, D()->LangDirectory())
PX_GET(InterfaceFunction_TimmingMode, VARIANT_BOOL, D()->F_.InterfaceFunction_TimmingMode)
PX_BOOL_FIELD(DigitalTimmingMode, DigitalTimmingMode)
PX_BOOL_FIELD(AutoStop, AutoStop)
PX_BOOL_FIELD(AutoDetect, AutoDetect)
PX_BOOL_FIELD(UseOnlyUSBSensor, UseOnlyUSBSensor)
PX_BOOL_FIELD(ThreadType, ThreadType)
PX_BOOL_FIELD(SetZeroMode, SetZeroMode)
PX_GET(ZeroSetMode, VARIANT_BOOL, D()->F_.SetZeroMode)
PX_BOOL_FIELD(ADC, ADC)
PX_INT_FIELD(MaxRecordCount, Max_Record_Count)
PX_BOOL_FIELD(CheckForExperiment, CheckForExperiment)
PX_GET(InterfaceFunction_ScopeMode, VARIANT_BOOL, D()->F_.InterfaceFunction_ScopeMode)
PX_GET(Mode8Port, VARIANT_BOOL, D()->F_.Mode8Port)
PX_GET(GetModeFor8Port, VARIANT_BOOL, D()->F_.GetModeFor8Port)

// ---- the control window's own framework properties ----

namespace {
LONG_PTR ExStyle(HWND h) { return GetWindowLongPtrW(h, GWL_EXSTYLE); }
bool RightToLeftReading(HWND h) { return (ExStyle(h) & WS_EX_RTLREADING) != 0; }
}  // namespace

PX_GET(DoubleBuffered, VARIANT_BOOL, (ExStyle(Window()) & WS_EX_COMPOSITED) != 0)
PX_PUT(DoubleBuffered, VARIANT_BOOL,
       SetWindowLongPtrW(Window(), GWL_EXSTYLE,
                         FromBool(v) ? ExStyle(Window()) | WS_EX_COMPOSITED
                                     : ExStyle(Window()) & ~static_cast<LONG_PTR>(WS_EX_COMPOSITED)))
PX_GET(AlignDisabled, VARIANT_BOOL, false)
PX_GET(VisibleDockClientCount, LONG, 0)
PX_GET(Enabled, VARIANT_BOOL, IsWindowEnabled(Window()) != FALSE)
PX_PUT(Enabled, VARIANT_BOOL, EnableWindow(Window(), FromBool(v) ? TRUE : FALSE))
PX_GET(Visible, VARIANT_BOOL, (GetWindowLongPtrW(Window(), GWL_STYLE) & WS_VISIBLE) != 0)
PX_PUT(Visible, VARIANT_BOOL, ShowWindow(Window(), FromBool(v) ? SW_SHOWNA : SW_HIDE))

HRESULT TPelmoraX::DrawTextBiDiModeFlagsReadingOnly(LONG* v) {
  return Get(v, [&] { return RightToLeftReading(Window()) ? static_cast<int>(DT_RTLREADING) : 0; });
}
HRESULT TPelmoraX::InitiateAction() {
  return S_OK;  // the window has no action to update
}
HRESULT TPelmoraX::IsRightToLeft(VARIANT_BOOL* v) {
  return Get(v, [&] { return RightToLeftReading(Window()); });
}
HRESULT TPelmoraX::UseRightToLeftReading(VARIANT_BOOL* v) {
  return Get(v, [&] { return RightToLeftReading(Window()); });
}
HRESULT TPelmoraX::UseRightToLeftScrollBar(VARIANT_BOOL* v) {
  return Get(v, [&] { return (ExStyle(Window()) & WS_EX_LEFTSCROLLBAR) != 0; });
}
HRESULT TPelmoraX::SetSubComponent(VARIANT_BOOL) {
  return S_OK;  // a designer notion the window does not have
}

}  // namespace pel::com
