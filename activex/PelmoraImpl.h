#pragma once
// TPelmoraX: the PelmoraX control. It creates one TPelmora as its window,
// forwards every member of IPelmoraX to it and passes the device link's four
// events to the container's sink.
#include <windows.h>

#include <memory>

#include "activex/ActiveXControl.h"
#include "activex/PelmoraXIds.h"

class TPelmora;

namespace pel::com {

class TPelmoraX final : public TActiveXControl, public IPelmoraX {
 public:
  // A new control with one reference, not yet initialised.
  static TActiveXControl* Make();

  // IUnknown
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** out) override {
    return TActiveXControl::QueryInterface(riid, out);
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return TActiveXControl::AddRef(); }
  ULONG STDMETHODCALLTYPE Release() override { return TActiveXControl::Release(); }
  // IDispatch, through the type library
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override;
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID lcid, ITypeInfo** info) override;
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) override;
  HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* params, VARIANT* result,
                                   EXCEPINFO* excep, UINT* argErr) override;

  // IPelmoraX (PelmoraImplMembers.cpp; the memory-bank, scope and 8-port
  // members in PelmoraImplBanks.cpp)
  HRESULT STDMETHODCALLTYPE Paint() override;
  HRESULT STDMETHODCALLTYPE InitializeComm(LONG *Value) override;
  HRESULT STDMETHODCALLTYPE CloseComm(LONG *Value) override;
  HRESULT STDMETHODCALLTYPE PWMOptionSetting(VARIANT_BOOL pPWM, TxPWMOption pPWMOption, VARIANT_BOOL pPWMSelect, LONG pPWMFreqvalue, LONG pPinValue1, LONG pPinValue2, LONG pPinValue3, LONG *Value) override;
  HRESULT STDMETHODCALLTYPE DemoOutput(VARIANT_BOOL RunMode, LONG *Value) override;
  HRESULT STDMETHODCALLTYPE SensorRangeSetting(LONG pCH, TxSensorRangeType pRange, LONG *Value) override;
  HRESULT STDMETHODCALLTYPE SensorZeroSetting(LONG pCH, VARIANT_BOOL pSetting, LONG *Value) override;
  HRESULT STDMETHODCALLTYPE Pelmora(VARIANT_BOOL pRun, LONG *Value) override;
  HRESULT STDMETHODCALLTYPE AutoSensorID(LONG *Value) override;
  HRESULT STDMETHODCALLTYPE OutputLine(LONG iFlag, LONG *Value) override;
  HRESULT STDMETHODCALLTYPE HighSpeedSetting(LONG pCH, double pSpeed, LONG *Value) override;
  HRESULT STDMETHODCALLTYPE HighSpeedExperiment(VARIANT_BOOL pRun, ComHighSpeedRunMode pMode, LONG *Value) override;
  HRESULT STDMETHODCALLTYPE HighSpeedExplorer(LONG *Value) override;
  HRESULT STDMETHODCALLTYPE ReadBankInfo(LONG pBank, BSTR *Value) override;
  HRESULT STDMETHODCALLTYPE LoadMemoryData(LONG pBank, VARIANT_BOOL pRun) override;
  HRESULT STDMETHODCALLTYPE EraseMemoryData(LONG pBank, VARIANT_BOOL pAll, LONG *Value) override;
  HRESULT STDMETHODCALLTYPE get_LoopCount(LONG *Value) override;
  HRESULT STDMETHODCALLTYPE put_LoopCount(LONG Value) override;
  HRESULT STDMETHODCALLTYPE get_RunningMode(LONG *Value) override;
  HRESULT STDMETHODCALLTYPE get_PelmoraType(BSTR *Value) override;
  HRESULT STDMETHODCALLTYPE get_VCPort(LONG *Value) override;
  HRESULT STDMETHODCALLTYPE put_VCPort(LONG Value) override;
  HRESULT STDMETHODCALLTYPE get_PelmoraConnected(VARIANT_BOOL *Value) override;
  HRESULT STDMETHODCALLTYPE get_CHA(VARIANT_BOOL *Value) override;
  HRESULT STDMETHODCALLTYPE put_CHA(VARIANT_BOOL Value) override;
  HRESULT STDMETHODCALLTYPE get_CHB(VARIANT_BOOL *Value) override;
  HRESULT STDMETHODCALLTYPE put_CHB(VARIANT_BOOL Value) override;
  HRESULT STDMETHODCALLTYPE get_CHC(VARIANT_BOOL *Value) override;
  HRESULT STDMETHODCALLTYPE put_CHC(VARIANT_BOOL Value) override;
  HRESULT STDMETHODCALLTYPE get_CHD(VARIANT_BOOL *Value) override;
  HRESULT STDMETHODCALLTYPE put_CHD(VARIANT_BOOL Value) override;
  HRESULT STDMETHODCALLTYPE get_CHAUnit(BSTR *Value) override;
  HRESULT STDMETHODCALLTYPE put_CHAUnit(BSTR Value) override;
  HRESULT STDMETHODCALLTYPE get_CHBUnit(BSTR *Value) override;
  HRESULT STDMETHODCALLTYPE put_CHBUnit(BSTR Value) override;
  HRESULT STDMETHODCALLTYPE get_CHCUnit(BSTR *Value) override;
  HRESULT STDMETHODCALLTYPE put_CHCUnit(BSTR Value) override;
  HRESULT STDMETHODCALLTYPE get_CHDUnit(BSTR *Value) override;
  HRESULT STDMETHODCALLTYPE put_CHDUnit(BSTR Value) override;
  HRESULT STDMETHODCALLTYPE get_CHAID(LONG *Value) override;
  HRESULT STDMETHODCALLTYPE get_CHBID(LONG *Value) override;
  HRESULT STDMETHODCALLTYPE get_CHCID(LONG *Value) override;
  HRESULT STDMETHODCALLTYPE get_CHDID(LONG *Value) override;
  HRESULT STDMETHODCALLTYPE get_CHAName(BSTR *Value) override;
  HRESULT STDMETHODCALLTYPE put_CHAName(BSTR Value) override;
  HRESULT STDMETHODCALLTYPE get_CHBName(BSTR *Value) override;
  HRESULT STDMETHODCALLTYPE put_CHBName(BSTR Value) override;
  HRESULT STDMETHODCALLTYPE get_CHCName(BSTR *Value) override;
  HRESULT STDMETHODCALLTYPE put_CHCName(BSTR Value) override;
  HRESULT STDMETHODCALLTYPE get_CHDName(BSTR *Value) override;
  HRESULT STDMETHODCALLTYPE put_CHDName(BSTR Value) override;
  HRESULT STDMETHODCALLTYPE get_AControlIndex(TxPWMOption *Value) override;
  HRESULT STDMETHODCALLTYPE get_SamplingTime(double *Value) override;
  HRESULT STDMETHODCALLTYPE put_SamplingTime(double Value) override;
  HRESULT STDMETHODCALLTYPE get_ExperimentLength(double *Value) override;
  HRESULT STDMETHODCALLTYPE put_ExperimentLength(double Value) override;
  HRESULT STDMETHODCALLTYPE get_PinValue1(LONG *Value) override;
  HRESULT STDMETHODCALLTYPE get_PinValue2(LONG *Value) override;
  HRESULT STDMETHODCALLTYPE get_PinValue3(LONG *Value) override;
  HRESULT STDMETHODCALLTYPE get_SensorRangeA(TxSensorRangeType *Value) override;
  HRESULT STDMETHODCALLTYPE get_SensorRangeB(TxSensorRangeType *Value) override;
  HRESULT STDMETHODCALLTYPE get_SensorRangeC(TxSensorRangeType *Value) override;
  HRESULT STDMETHODCALLTYPE get_PWMFreqValue(LONG *Value) override;
  HRESULT STDMETHODCALLTYPE put_PWMFreqValue(LONG Value) override;
  HRESULT STDMETHODCALLTYPE get_PWMFreqSelect(VARIANT_BOOL *Value) override;
  HRESULT STDMETHODCALLTYPE put_PWMFreqSelect(VARIANT_BOOL Value) override;
  HRESULT STDMETHODCALLTYPE get_CHInputMode(TxCHInput *Value) override;
  HRESULT STDMETHODCALLTYPE put_CHInputMode(TxCHInput Value) override;
  HRESULT STDMETHODCALLTYPE get_CHOutput(VARIANT_BOOL *Value) override;
  HRESULT STDMETHODCALLTYPE put_CHOutput(VARIANT_BOOL Value) override;
  HRESULT STDMETHODCALLTYPE get_TerminalBlockUse(VARIANT_BOOL *Value) override;
  HRESULT STDMETHODCALLTYPE put_TerminalBlockUse(VARIANT_BOOL Value) override;
  HRESULT STDMETHODCALLTYPE get_NoOfStroboSlit(LONG *Value) override;
  HRESULT STDMETHODCALLTYPE put_NoOfStroboSlit(LONG Value) override;
  HRESULT STDMETHODCALLTYPE get_ErrorNumber(LONG *Value) override;
  HRESULT STDMETHODCALLTYPE put_ErrorNumber(LONG Value) override;
  HRESULT STDMETHODCALLTYPE get_Run(VARIANT_BOOL *Value) override;
  HRESULT STDMETHODCALLTYPE get_NoOfOverSampling(LONG *Value) override;
  HRESULT STDMETHODCALLTYPE put_NoOfOverSampling(LONG Value) override;
  HRESULT STDMETHODCALLTYPE get_MemoryTotalIndex(LONG *Value) override;
  HRESULT STDMETHODCALLTYPE get_LanguageID(LONG *Value) override;
  HRESULT STDMETHODCALLTYPE get_ProductNo(BSTR *Value) override;
  HRESULT STDMETHODCALLTYPE get_VersionNo(BSTR *Value) override;
  HRESULT STDMETHODCALLTYPE get_FastSamplingMode(VARIANT_BOOL *Value) override;
  HRESULT STDMETHODCALLTYPE get_ExperimentMode(LONG *Value) override;
  HRESULT STDMETHODCALLTYPE get_LangDirectory(BSTR *Value) override;
  HRESULT STDMETHODCALLTYPE get_DoubleBuffered(VARIANT_BOOL *Value) override;
  HRESULT STDMETHODCALLTYPE put_DoubleBuffered(VARIANT_BOOL Value) override;
  HRESULT STDMETHODCALLTYPE get_AlignDisabled(VARIANT_BOOL *Value) override;
  HRESULT STDMETHODCALLTYPE get_VisibleDockClientCount(LONG *Value) override;
  HRESULT STDMETHODCALLTYPE DrawTextBiDiModeFlagsReadingOnly(LONG *Value) override;
  HRESULT STDMETHODCALLTYPE get_Enabled(VARIANT_BOOL *Value) override;
  HRESULT STDMETHODCALLTYPE put_Enabled(VARIANT_BOOL Value) override;
  HRESULT STDMETHODCALLTYPE InitiateAction() override;
  HRESULT STDMETHODCALLTYPE IsRightToLeft(VARIANT_BOOL *Value) override;
  HRESULT STDMETHODCALLTYPE UseRightToLeftReading(VARIANT_BOOL *Value) override;
  HRESULT STDMETHODCALLTYPE UseRightToLeftScrollBar(VARIANT_BOOL *Value) override;
  HRESULT STDMETHODCALLTYPE get_Visible(VARIANT_BOOL *Value) override;
  HRESULT STDMETHODCALLTYPE put_Visible(VARIANT_BOOL Value) override;
  HRESULT STDMETHODCALLTYPE SetSubComponent(VARIANT_BOOL IsSubComponent) override;
  HRESULT STDMETHODCALLTYPE AboutBox() override;
  HRESULT STDMETHODCALLTYPE SetDigitalTiming(VARIANT_BOOL _P1, VARIANT_BOOL _P2, VARIANT_BOOL _P3) override;
  HRESULT STDMETHODCALLTYPE SetConvertUnit(LONG Index, LONG pType, double pA, double pB) override;
  HRESULT STDMETHODCALLTYPE get_InterfaceFunction_TimmingMode(VARIANT_BOOL *Value) override;
  HRESULT STDMETHODCALLTYPE get_DigitalTimmingMode(VARIANT_BOOL *Value) override;
  HRESULT STDMETHODCALLTYPE put_DigitalTimmingMode(VARIANT_BOOL Value) override;
  HRESULT STDMETHODCALLTYPE get_SensorRangeD(TxSensorRangeType *Value) override;
  HRESULT STDMETHODCALLTYPE get_AutoStop(VARIANT_BOOL *Value) override;
  HRESULT STDMETHODCALLTYPE put_AutoStop(VARIANT_BOOL Value) override;
  HRESULT STDMETHODCALLTYPE get_AutoDetect(VARIANT_BOOL *Value) override;
  HRESULT STDMETHODCALLTYPE put_AutoDetect(VARIANT_BOOL Value) override;
  HRESULT STDMETHODCALLTYPE get_UseOnlyUSBSensor(VARIANT_BOOL *Value) override;
  HRESULT STDMETHODCALLTYPE put_UseOnlyUSBSensor(VARIANT_BOOL Value) override;
  HRESULT STDMETHODCALLTYPE get_ThreadType(VARIANT_BOOL *Value) override;
  HRESULT STDMETHODCALLTYPE put_ThreadType(VARIANT_BOOL Value) override;
  HRESULT STDMETHODCALLTYPE SetCalibratData(LONG pCH, double pValue, VARIANT_BOOL *Value) override;
  HRESULT STDMETHODCALLTYPE get_SetZeroMode(VARIANT_BOOL *Value) override;
  HRESULT STDMETHODCALLTYPE put_SetZeroMode(VARIANT_BOOL Value) override;
  HRESULT STDMETHODCALLTYPE get_ZeroSetMode(VARIANT_BOOL *Value) override;
  HRESULT STDMETHODCALLTYPE get_ADC(VARIANT_BOOL *Value) override;
  HRESULT STDMETHODCALLTYPE put_ADC(VARIANT_BOOL Value) override;
  HRESULT STDMETHODCALLTYPE GetCurrentValue(BSTR *Value) override;
  HRESULT STDMETHODCALLTYPE get_MaxRecordCount(LONG *Value) override;
  HRESULT STDMETHODCALLTYPE put_MaxRecordCount(LONG Value) override;
  HRESULT STDMETHODCALLTYPE get_CheckForExperiment(VARIANT_BOOL *Value) override;
  HRESULT STDMETHODCALLTYPE put_CheckForExperiment(VARIANT_BOOL Value) override;
  HRESULT STDMETHODCALLTYPE GetDataList(BSTR *Value) override;
  HRESULT STDMETHODCALLTYPE SetScopeRows(LONG Rows) override;
  HRESULT STDMETHODCALLTYPE GetSensorList(BSTR *Value) override;
  HRESULT STDMETHODCALLTYPE FindMultipleSensor(LONG SensorID, LONG *Value) override;
  HRESULT STDMETHODCALLTYPE GetSensorSubID(LONG SensorID, BSTR *Value) override;
  HRESULT STDMETHODCALLTYPE GetSensorName(LONG SensorID, VARIANT_BOOL Full, BSTR *Value) override;
  HRESULT STDMETHODCALLTYPE GetSensorUnit(LONG SensorID, VARIANT_BOOL Full, VARIANT_BOOL Name, BSTR *Value) override;
  HRESULT STDMETHODCALLTYPE GetSensorSignInvert(LONG Channel, VARIANT_BOOL *Value) override;
  HRESULT STDMETHODCALLTYPE SetSensorSignInvert(LONG Channel, VARIANT_BOOL Invert) override;
  HRESULT STDMETHODCALLTYPE SetScopeTime(LONG Time) override;
  HRESULT STDMETHODCALLTYPE SetScopeSensor(BSTR SensorList) override;
  HRESULT STDMETHODCALLTYPE ReadScopeData(VARIANT_BOOL Flag) override;
  HRESULT STDMETHODCALLTYPE get_InterfaceFunction_ScopeMode(VARIANT_BOOL *Value) override;
  HRESULT STDMETHODCALLTYPE get_CHE(VARIANT_BOOL *Value) override;
  HRESULT STDMETHODCALLTYPE get_CHF(VARIANT_BOOL *Value) override;
  HRESULT STDMETHODCALLTYPE get_CHG(VARIANT_BOOL *Value) override;
  HRESULT STDMETHODCALLTYPE get_CHH(VARIANT_BOOL *Value) override;
  HRESULT STDMETHODCALLTYPE get_CHEUnit(BSTR *Value) override;
  HRESULT STDMETHODCALLTYPE put_CHEUnit(BSTR Value) override;
  HRESULT STDMETHODCALLTYPE get_CHFUnit(BSTR *Value) override;
  HRESULT STDMETHODCALLTYPE put_CHFUnit(BSTR Value) override;
  HRESULT STDMETHODCALLTYPE get_CHGUnit(BSTR *Value) override;
  HRESULT STDMETHODCALLTYPE put_CHGUnit(BSTR Value) override;
  HRESULT STDMETHODCALLTYPE get_CHHUnit(BSTR *Value) override;
  HRESULT STDMETHODCALLTYPE put_CHHUnit(BSTR Value) override;
  HRESULT STDMETHODCALLTYPE get_CHEID(LONG *Value) override;
  HRESULT STDMETHODCALLTYPE get_CHFID(LONG *Value) override;
  HRESULT STDMETHODCALLTYPE get_CHGID(LONG *Value) override;
  HRESULT STDMETHODCALLTYPE get_CHHID(LONG *Value) override;
  HRESULT STDMETHODCALLTYPE get_CHEName(BSTR *Value) override;
  HRESULT STDMETHODCALLTYPE put_CHEName(BSTR Value) override;
  HRESULT STDMETHODCALLTYPE get_CHFName(BSTR *Value) override;
  HRESULT STDMETHODCALLTYPE put_CHFName(BSTR Value) override;
  HRESULT STDMETHODCALLTYPE get_CHGName(BSTR *Value) override;
  HRESULT STDMETHODCALLTYPE put_CHGName(BSTR Value) override;
  HRESULT STDMETHODCALLTYPE get_CHHName(BSTR *Value) override;
  HRESULT STDMETHODCALLTYPE put_CHHName(BSTR Value) override;
  HRESULT STDMETHODCALLTYPE get_SensorRangeE(TxSensorRangeType *Value) override;
  HRESULT STDMETHODCALLTYPE get_SensorRangeF(TxSensorRangeType *Value) override;
  HRESULT STDMETHODCALLTYPE get_SensorRangeG(TxSensorRangeType *Value) override;
  HRESULT STDMETHODCALLTYPE get_SensorRangeH(TxSensorRangeType *Value) override;
  HRESULT STDMETHODCALLTYPE get_Mode8Port(VARIANT_BOOL *Value) override;
  HRESULT STDMETHODCALLTYPE SetChangeModeFor8Port(VARIANT_BOOL pValue, VARIANT_BOOL *Value) override;
  HRESULT STDMETHODCALLTYPE get_GetModeFor8Port(VARIANT_BOOL *Value) override;

 protected:
  void* QueryOwnInterface(REFIID riid) override;
  HWND CreateControlWindow() override;
  void WireDeviceControl() override;
  void AttachEventSink(IDispatch* sink) override;
  void DefinePropertyPages(std::vector<CLSID>& pages) override;  // none

 private:
  TPelmoraX();
  ~TPelmoraX() override;
  // The hosted device link, with the control and the link held until the
  // forwarded call's expression ends: a container may release the control
  // from any event that call raises.
  struct Held {
    ComPtr<IPelmoraX> self;
    std::shared_ptr<TPelmora> link;
    TPelmora* operator->() const { return link.get(); }
  };
  // Throws when the window was never created.
  Held D();
  // Event forwarding to the sink (DISPIDs of IPelmoraXEvents).
  void Forward(DISPID id, VARIANT* arg);

  struct SinkLink;  // what the device link's handlers reach us through
  std::shared_ptr<TPelmora> link_;
  std::shared_ptr<SinkLink> events_;
  ComPtr<IDispatch> sink_;
};

}  // namespace pel::com
