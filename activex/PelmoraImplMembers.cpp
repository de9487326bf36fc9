// The methods of IPelmoraX, forwarded one to one to the hosted TPelmora, and
// the control window's own framework properties.
#include "activex/About1.h"
#include "activex/ForwardHelpers.h"
#include "activex/PelmoraImpl.h"

namespace pel::com {

using fwd::Call;
using fwd::Get;
using fwd::LinkEnum;

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

// ---- the control window's own framework properties ----

namespace {
LONG_PTR ExStyle(HWND h) { return GetWindowLongPtrW(h, GWL_EXSTYLE); }
bool RightToLeftReading(HWND h) { return (ExStyle(h) & WS_EX_RTLREADING) != 0; }
}  // namespace

HRESULT TPelmoraX::get_DoubleBuffered(VARIANT_BOOL* v) {
  return Get(v, [&] { return (ExStyle(Window()) & WS_EX_COMPOSITED) != 0; });
}
HRESULT TPelmoraX::put_DoubleBuffered(VARIANT_BOOL v) {
  return Call([&] {
    SetWindowLongPtrW(Window(), GWL_EXSTYLE,
                      FromBool(v) ? ExStyle(Window()) | WS_EX_COMPOSITED
                                  : ExStyle(Window()) & ~static_cast<LONG_PTR>(WS_EX_COMPOSITED));
  });
}
HRESULT TPelmoraX::get_AlignDisabled(VARIANT_BOOL* v) { return Get(v, [&] { return false; }); }
HRESULT TPelmoraX::get_VisibleDockClientCount(LONG* v) { return Get(v, [&] { return 0; }); }
HRESULT TPelmoraX::get_Enabled(VARIANT_BOOL* v) { return Get(v, [&] { return IsWindowEnabled(Window()) != FALSE; }); }
HRESULT TPelmoraX::put_Enabled(VARIANT_BOOL v) {
  return Call([&] { EnableWindow(Window(), FromBool(v) ? TRUE : FALSE); });
}
HRESULT TPelmoraX::get_Visible(VARIANT_BOOL* v) {
  return Get(v, [&] { return (GetWindowLongPtrW(Window(), GWL_STYLE) & WS_VISIBLE) != 0; });
}
HRESULT TPelmoraX::put_Visible(VARIANT_BOOL v) {
  return Call([&] { ShowWindow(Window(), FromBool(v) ? SW_SHOWNA : SW_HIDE); });
}

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
