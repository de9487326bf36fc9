#pragma once
// TPelmora: the device link component. It finds and opens the interface on a
// COM port, over TCP or on USB, speaks the command protocol and reports what
// happens through four events.
//
// How published members appear in C++:
// - a published property P is a getter `P()` and, where it can be written, a
//   setter `P(value)`, both with the property's exact name; the field behind
//   it lives in `F_.P` (the getter reads it);
// - a published method keeps its name and returns the error number;
// - an event E is set with `E(handler)` and read with `E()`; handlers run
//   synchronously on the thread that raises the event.
//
// Lifetime: every entry that can run host code (a published method, the wake
// message, the poll tick, a hand-over, the USB polling thread's delivery)
// holds a Frame; a host that lets go of the component (the last reference
// from TPelmora::Create) only marks it released, it ends when its outermost
// Frame unwinds, and from the release on it raises no event, sends nothing
// and starts no further step (each step after host code checks). Hand-overs
// still run after the release, so a thread waiting in one can end; an event
// the USB polling thread raised before the release ends before it returns.
#include <windows.h>

#include <chrono>
#include <functional>
#include <memory>
#include <string>

#include "devicelink/ChannelProperties.h"
#include "devicelink/LinkEnvironment.h"
#include "devicelink/LinkHooks.h"
#include "devicelink/LinkModel.h"
#include "devicelink/OutputsLink.h"
#include "devicelink/PelmoraFields.h"
#include "devicelink/PelmoraTypes.h"
#include "devicelink/RunParts.h"
#include "devicelink/RunSteps.h"
#include "devicelink/setup/SetterOutcome.h"
#include "devicelink/setup/SetupTypes.h"

namespace pel::sensors {
class SensorRegistry;
}
namespace pel::usb {
class UsbSensorSide;
}

class TPelmora final : public pel::link::ChannelProperties<TPelmora>, public pel::link::RunSteps {
 public:
  using Fields = PelmoraFields;
  using RunParts = pel::link::RunParts;
  using OutputsLink = pel::link::OutputsLink;

  // parent: the host's window (the component becomes its child), or null.
  // designing: shown at design time; otherwise the window stays hidden.
  // Throws when the registry's language id is not a number.
  static std::shared_ptr<TPelmora> Create(HWND parent, LinkFlavour flavour,
                                          pel::link::LinkEnvironment env, bool designing = false);
  // The real serial port, TCP worker, host loop and USB libraries.
  static pel::link::LinkEnvironment DefaultEnvironment();

  TPelmora(HWND parent, LinkFlavour flavour, pel::link::LinkEnvironment env, bool designing = false);
  TPelmora(const TPelmora&) = delete;
  TPelmora& operator=(const TPelmora&) = delete;
  ~TPelmora();

  HWND Handle() const { return hwnd_; }
  // The window's own painting; a host may also run it outside the paint cycle.
  void Paint();
  const LinkFlavour& Flavour() const { return flavour_; }
  LinkHooks& Hooks() { return hooks_; }

  // ---- published methods (this piece) ----
  int InitializeComm();
  int CloseComm();

  // ---- published properties (this piece) ----
  std::string PelmoraType() const;
  int VCPort() const { return F_.VCPort; }
  void VCPort(int n);
  bool PelmoraConnected() const { return F_.PelmoraConnected; }
  int ErrorNumber() const { return F_.ErrorNumber; }
  int RunningMode() const { return F_.RunningMode; }
  int ExperimentMode() const { return F_.ExperimentMode; }
  int LanguageID() const { return F_.LanguageID; }
  std::string ProductNo() const { return F_.ProductNo; }
  std::string VersionNo() const { return F_.VersionNo; }
  std::string LangDirectory() const { return {}; }
  int Max_Record_Count() const { return F_.Max_Record_Count; }
  bool Mode8Port() const { return F_.Mode8Port; }
  bool GetModeFor8Port() const { return F_.GetModeFor8Port; }
  bool InterfaceFunction_TimmingMode() const { return F_.InterfaceFunction_TimmingMode; }
  bool InterfaceFunction_ScopeMode() const { return F_.InterfaceFunction_ScopeMode; }
  bool DigitalTimmingMode() const { return F_.DigitalTimmingMode; }
  bool AutoDetect() const { return F_.AutoDetect; }
  void AutoDetect(bool v) { F_.AutoDetect = v; }
  bool UseOnlyUSBSensor() const { return F_.UseOnlyUSBSensor; }
  void UseOnlyUSBSensor(bool v) { F_.UseOnlyUSBSensor = v; }
  bool UseOnlyTolemic() const { return F_.UseOnlyTolemic; }
  void UseOnlyTolemic(bool v) { F_.UseOnlyTolemic = v; }

  // ---- events ----
  const TEventDataReceived& DataReceived() const { return F_.DataReceived; }
  void DataReceived(TEventDataReceived h) { F_.DataReceived = std::move(h); }
  const TEventError& PelmoraError() const { return F_.PelmoraError; }
  void PelmoraError(TEventError h) { F_.PelmoraError = std::move(h); }
  const TEventStartExperiment& StartExperiment() const { return F_.StartExperiment; }
  void StartExperiment(TEventStartExperiment h) { F_.StartExperiment = std::move(h); }
  const TEventStopExperiment& StopExperiment() const { return F_.StopExperiment; }
  void StopExperiment(TEventStopExperiment h) { F_.StopExperiment = std::move(h); }

  // ---- link internals, used by the other parts of the device link ----
  void RaiseDeviceError(int n);
  // Event raisers for the other parts: nothing fires while the component is
  // torn down or after its host let go of it.
  void FireDataReceived(const std::wstring& record);
  void FireStartExperiment();
  void FireStopExperiment();

  void ClampOutputParameters(int low, int high, int def);

  void ProbeCapabilities(bool userSetPort);
  void QueryProductInfo();
  void FindRegistryPorts(const std::string& path, std::string& found);

  // ---- experiments and records ----
  // Start (true) or stop (false) of a run. A start returns 0 when clean, else
  // the error it raised; a start while a run is going, and a stop, return
  // ErrorNumber as they leave it (a box model's stop ends in OutputLine(0),
  // which clears it).
  int Pelmora(bool pRun);
  void HaltAcquisition();
  void SendStopCommand();
  // DataReceived, the recent-records list, a pump. False when the run ended
  // meanwhile (a handler stopped it).
  bool DeliverRecord(const std::string& record);
  void SetConvertUnit(int Index, int pType, double pA, double pB);
  std::string GetCurrentValue();
  std::string GetDataList();
  RunParts& Runs() { return runs_; }

  // ---- published acquisition properties (the channel ones: ChannelProperties) ----
  int LoopCount() const { return F_.LoopCount; }
  void LoopCount(int v) { F_.LoopCount = v; }
  PWMOption AControlIndex() const { return F_.AControlIndex; }
  double SamplingTime() const { return F_.SamplingTime; }
  void SamplingTime(double t);
  double ExperimentLength() const { return F_.ExperimentLength; }
  void ExperimentLength(double length);
  int NoOfData() const { return F_.NoOfData; }
  int PinValue1() const { return State().pinValue[0]; }
  int PinValue2() const { return State().pinValue[1]; }
  int PinValue3() const { return State().pinValue[2]; }
  int PWMFreqValue() const { return F_.PWMFreqValue; }
  void PWMFreqValue(int v);
  bool PWMFreqSelect() const { return F_.PWMFreqSelect; }
  void PWMFreqSelect(bool v);
  CHInput CHInputMode() const { return F_.CHInputMode; }
  void CHInputMode(CHInput m);
  bool CHOutput() const { return F_.CHOutput; }
  void CHOutput(bool v);
  bool TerminalBlockUse() const { return F_.TerminalBlockUse; }
  void TerminalBlockUse(bool v) { F_.TerminalBlockUse = v; }
  int NoOfStroboSlit() const { return F_.NoOfStroboSlit; }
  void NoOfStroboSlit(int v);
  bool SetZeroMode() const { return F_.SetZeroMode; }
  void SetZeroMode(bool v) { F_.SetZeroMode = v; }
  bool ZeroSetMode() const { return F_.SetZeroMode; }
  void ErrorNumber(int v) { F_.ErrorNumber = v; }
  bool Run() const { return F_.Run; }
  int NoOfOverSampling() const { return F_.NoOfOverSampling; }
  void NoOfOverSampling(int count);
  int MemoryTotalIndex() const { return F_.MemoryTotalIndex; }
  bool FastSamplingMode() const { return F_.FastSamplingMode; }
  void DigitalTimmingMode(bool v) { F_.DigitalTimmingMode = v; }
  bool AutoStop() const { return F_.AutoStop; }
  void AutoStop(bool v) { F_.AutoStop = v; }
  bool ADC() const { return F_.ADC; }
  void ADC(bool v) { F_.ADC = v; }
  bool ThreadType() const { return F_.ThreadType; }
  void ThreadType(bool v) { F_.ThreadType = v; }
  void Max_Record_Count(int v) { F_.Max_Record_Count = v; }
  bool CheckForExperiment() const { return F_.CheckForExperiment; }
  void CheckForExperiment(bool v) { F_.CheckForExperiment = v; }

  // The set-up rules' view of the component's own fields and the channel
  // tables: a rule of devicelink/setup changes them in place (main thread).
  pel::setup::SetupView Setup();
  pel::setup::SetupView Setup() const;
  // After a setter's rule: clears ErrorNumber when the rule says so, then
  // raises the rule's error.
  void ApplySetterOutcome(const pel::setup::SetterOutcome& out);

  // ---- high-speed captures, memory banks and scope mode ----
  // The per-process part lives in State().highSpeed. Captures, downloads and
  // the directory run on Sorn II, Aster and Qor only.
  int HighSpeedSetting(int pCH, double pSpeed);
  int HighSpeedExperiment(bool pRun, TxHighSpeedRunMode pMode);
  int HighSpeedExplorer();
  std::string ReadBankInfo(int pBank);
  // Returns when the download ended: its last block, the bank's limit, or a
  // call with pRun false from an event meanwhile. A box that stops answering
  // ends it with error 22.
  void LoadMemoryData(int pBank, bool pRun);
  int EraseMemoryData(int pBank, bool pAll);
  void SetDigitalTiming(bool _P1, bool _P2, bool _P3);
  void SetScopeTime(int Time);
  void SetScopeRows(int Rows);
  void SetScopeSensor(const std::string& SensorList);
  // True reads the scope buffer (returning when it is read, or on a call with
  // false from an event); a box that stops answering ends it with error 22.
  void ReadScopeData(bool Flag);
  // Accepted and ignored: the interface takes no trigger settings.
  void SetScopeTriggerMode(int TriggerMode, int TriggerChannel, double TriggerLevel);
  bool SetChangeModeFor8Port(bool pValue);

  // ---- sensors: language, registry texts and classes, identification ----
  // The channel table is State().sensors (one per process); TerminalBlockUse
  // and the sign-invert flags are fields of the component, which the
  // identification and the loads change in place.
  int AutoSensorID();
  void SetLanguageID(int value);
  bool IsPartOfSensor(int sensorId, const std::string& className) const;
  std::string GetSensorList() const;
  int FindMultipleSensor(int sensorId) const;
  std::string GetSensorSubID(int sensorId) const;
  std::string GetSensorName(int sensorId, bool full) const;
  std::string GetSensorUnit(int sensorId, bool full, bool name) const;
  // AutoSensorID for callers already inside an exchange (the connect, the
  // start of a run, a high-speed capture): no InExchange refusal. Throws
  // pel::sensors::RegistryValueError from the reload, RunningMode restored.
  int IdentifySensors();
  // LoadSensorInfo with the current IDs of A..D, for the CHA..CHD setters.
  // Throws pel::sensors::RegistryValueError for a resolution that is not a number.
  bool LoadSensorInfo();
  // The registry view the sensor logic reads (stateless, shared).
  static const pel::sensors::SensorRegistry& SensorSettings();

  // ---- outputs and sensor set-up (PelmoraOutputs.cpp) ----
  // Set-up commands go out through SendCommand without awaiting a reply.
  int PWMOptionSetting(bool pPWM, PWMOption pPWMOption, bool pPWMSelect, int pPWMFreqvalue, int pPinValue1,
                       int pPinValue2, int pPinValue3);
  int DemoOutput(bool RunMode);
  int OutputLine(int iFlag);
  // COM hosts may pass any ordinal: outside 0 to 2 it is refused with 14.
  int SensorRangeSetting(int pCH, int pRange);
  int SensorRangeSetting(int pCH, SensorRangeType pRange) { return SensorRangeSetting(pCH, static_cast<int>(pRange)); }
  int SensorZeroSetting(int pCH, bool pSetting);
  bool SetCalibratData(int pCH, double pValue);
  bool GetSignInvert(int Channel) const;
  void SetSignInvert(int Channel, bool Invert);
  OutputsLink& Outputs() { return outputs_; }

  // ---- USB sensors (PelmoraUsb.cpp) ----
  // The sensors' packets through Vantiro or libusb (the use-libusb flag), the
  // slot list in the registry, the poll on the timer or, with ThreadType, on
  // the USB polling thread, which then builds and delivers the records itself.
  bool UsbSensorWrite(int device, const std::string& command, const std::string& data, const std::string& type,
                      const std::string& code);
  std::string UsbSensorRead(int device, bool wait);
  // Throws what the library's count, close and open throw.
  void EnumerateUsbSensors(bool force);
  void PollUsbSensors();
  void StartUsbSensors(bool start);
  // Never fails: a missing or failing IsWow64Process is a "no" with its message.
  static bool IsWow64(std::string& message);
  pel::usb::UsbSensorSide& UsbSensors();

 private:
  friend class pel::link::LinkIO;
  friend class pel::link::UsbSensorsLink;
  friend class pel::link::ChannelProperties<TPelmora>;
  bool ChannelFlagAt(int index) const;
  void SetChannelFlagAt(int index, bool v);
  std::string ChannelUnitAt(int index) const;
  std::string ChannelNameAt(int index) const;
  int ChannelIDAt(int index) const;
  SensorRangeType SensorRangeAt(int index) const;

  // OutputLine for the stop, which also runs inside an exchange (a close, a
  // stop asked for during the start): no InExchange refusal.
  int SendOutputLine(int iFlag);

  // ---- a run's records (its start and stop steps are in RunSteps) ----
  void InstallRunHooks();
  // Points the stream context at the channel tables and acquisition fields.
  void ViewStreamSettings();
  void ParseLastFrame(int parser);

  // ---- high-speed helpers (the reply and block reads are LinkIO's) ----
  void InstallHighSpeedHooks();
  void EndOfCapture();
  void ReadAsterDirectory(pel::records::BankDirectory& dir, const std::string& flagReply);

  // ---- USB sensors ----
  void InstallUsbSensors();
  void ShutDownUsbSensors();
  // The timer poll's part in thread mode; false when the timer polls itself.
  bool UsbWatchTick();
  void IdentifyUsbSlots();
  std::string UsbCurrentValue();

  static LRESULT CALLBACK WindowProc(HWND, UINT, WPARAM, LPARAM);
  void LoadLanguageID();  // defined with the sensors
  void IdentifySensorsAfterConnect();
  int CloseCommNow();
  // The host's release: ends the component now or once its frames unwound.
  static void Release(TPelmora* p);
  // Waits (servicing) for a polling-thread event that started before the release.
  void WaitOutOffMainEvents();
  static constexpr std::chrono::milliseconds kOffMainEventWait{3000};
  // Ends a released component whose last frame unwound; from inside a
  // callback of what it owns (its timer's tick, its port's or worker's
  // hand-over, another thread) it ends from its window's next message.
  void EndIfDue() override;
  bool InOwnCallback() const;
};
