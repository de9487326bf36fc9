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
// Hosts create the component with TPelmora::Create and hold the shared
// pointer: a host that lets go of it from inside an event handler during a
// command's wait only ends the component when that wait has unwound.
#include <windows.h>

#include <array>
#include <functional>
#include <memory>
#include <string>

#include "devicelink/LinkEnvironment.h"
#include "devicelink/LinkModel.h"
#include "devicelink/LinkProcessState.h"
#include "devicelink/setup/CalibrationHandOver.h"
#include "devicelink/setup/SensorSetup.h"

namespace pel {
class Timer;
}

enum class CHInput : unsigned char { Digital, Analog, Scope };
enum class PWMOption : unsigned char {
  PWM,
  DC_Valtage,
  Sine_Wave,
  Square_Wave,
  Pyramidal_Wave,
  Sawtooth_Wave_Ramp_Up,
  Sawtooth_Wave_Ramp_Down
};
enum class SensorRangeType : unsigned char { Full_Range, General_Purpose, Sensitivae_Range };

class TPelmora;
using TEventDataReceived = std::function<void(TPelmora& sender, const std::wstring& data)>;
using TEventError = std::function<void(TPelmora& sender, int errorNumber)>;
using TEventStartExperiment = std::function<void(TPelmora& sender)>;
using TEventStopExperiment = std::function<void(TPelmora& sender)>;

// The two hosts build the same link; they differ only in these values.
struct LinkFlavour {
  int replyWaitStepMs;      // sleep of each reply-wait pass
  int pauseBeforeIdentify;  // ms after the wake-up line on a user-set port
  bool fastQorOverCom;      // fast block frames from a Qor are taken over the COM port
  static LinkFlavour Studio() { return {5, 50, false}; }
  static LinkFlavour ActiveX() { return {10, 0, true}; }
};

// Where the other parts of the link connect: the stream parsers, the stop of
// a run, sensor identification and the USB sensor side. Unset hooks do
// nothing (a frame for an unset parser is dropped).
struct LinkHooks {
  std::function<void(TPelmora&)> analogFrame;    // ExperimentMode 1, and 2 at length 51
  std::function<void(TPelmora&)> fastBlock;      // ExperimentMode 2, block models
  std::function<void(TPelmora&)> fastSingle;     // ExperimentMode 2, length 75
  std::function<void(TPelmora&)> timingFrame;    // ExperimentMode 3
  std::function<void(TPelmora&)> endOfCapture;   // ExperimentMode 8
  std::function<void(TPelmora&)> loopCountRule;  // after each dispatched frame
  std::function<void(TPelmora&)> haltAcquisition;
  std::function<void(TPelmora&)> autoSensorId;
  std::function<void(TPelmora&)> enumerateUsbSensors;
  std::function<void(TPelmora&)> pollUsbSensors;
};

class TPelmora : public std::enable_shared_from_this<TPelmora> {
 public:
  // Fields with their defaults after construction.
  struct Fields {
    int VCPort = 0;
    bool PelmoraConnected = false;
    PWMOption AControlIndex = PWMOption::PWM;
    bool FastSamplingMode = false;
    double SamplingTime = 0.2;
    double ExperimentLength = 10.0;
    int NoOfData = 51;
    int PWMFreqValue = 500;
    bool PWMFreqSelect = false;
    CHInput CHInputMode = CHInput::Analog;
    bool CHOutput = false;
    bool TerminalBlockUse = false;
    int NoOfStroboSlit = 1;
    bool SetZeroMode = false;
    int ErrorNumber = 0;
    int NoOfOverSampling = 0;
    int ExperimentMode = 0;
    bool Run = false;
    int RunningMode = -1;
    int LanguageID = 1033;
    std::string ProductNo;
    std::string VersionNo;
    int LoopCount = 0;
    bool ADC = false;
    int MemoryTotalIndex = 0;
    bool DigitalTimmingMode = false;
    bool InterfaceFunction_TimmingMode = true;
    bool AutoStop = false;
    std::array<bool, 8> signInvert{};
    bool CheckForExperiment = true;
    bool AutoDetect = true;
    bool ThreadType = false;
    bool UseOnlyUSBSensor = false;
    std::array<long long, 8> libUsbHandles{-1, -1, -1, -1, -1, -1, -1, -1};
    int libUsbHandleCount = 0;
    int Max_Record_Count = 50000;
    int keptRecordsLimit = 5000;
    bool Mode8Port = false;
    bool GetModeFor8Port = false;
    TEventDataReceived DataReceived;
    TEventError PelmoraError;
    TEventStartExperiment StartExperiment;
    TEventStopExperiment StopExperiment;
    bool InterfaceFunction_ScopeMode = false;
    bool UseOnlyTolemic = false;
  };

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
  const LinkFlavour& Flavour() const { return flavour_; }
  Fields F_;
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

  void SendCommand(const std::string& command);
  std::string FlushInput();
  std::string WaitReply();
  std::string TakeFrame();
  void HandleSerialInput(std::size_t count);
  void HandleSocketInput();
  void PollInput();
  void PollTick();
  void ClampOutputParameters(int low, int high, int def);

  void ProbeCapabilities(bool userSetPort);
  void QueryProductInfo();
  void FindRegistryPorts(const std::string& path, std::string& found);

  pel::link::SerialLink& Port() { return *serial_; }
  pel::link::SocketWorker& Worker() { return *worker_; }
  pel::link::HostLoop& Host() { return *env_.host; }
  static pel::link::LinkProcessState& State() { return pel::link::ProcessState(); }

  // True while a command exchange (send and reply wait) runs; a published
  // method that talks to the interface refuses with error 22 then.
  bool InExchange() const { return exchangeDepth_ > 0; }
  // Marks one exchange of a published method; see InExchange.
  class Exchange {
   public:
    explicit Exchange(TPelmora& p);
    ~Exchange();
    Exchange(const Exchange&) = delete;
    Exchange& operator=(const Exchange&) = delete;

   private:
    TPelmora& p_;
    std::shared_ptr<TPelmora> keep_;
  };

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
  struct OutputsLink {
    // Sent to and read back by the USB sensor poll (which may run on the USB
    // polling thread); the hand-over does its own locking.
    pel::setup::CalibrationHandOver calibration;
    // Newest value of each USB sensor channel, written by the USB sensor side.
    std::array<std::atomic<double>, 8> latestUsbReading{};
    // Main thread. Unset: the sensor classes come from the registry.
    std::shared_ptr<const pel::setup::SensorCatalog> catalog;
    // Main thread. Unset: libusb's count or the driver's present devices.
    std::function<int()> countUsbDevices;
    // Main thread. The range packet of USB sensors: sends it to the channel's
    // slot device and drops the reply. Unset: nothing goes out.
    std::function<void(TPelmora&, const pel::setup::UsbRangePacket&)> sendUsbRangePacket;
  };
  OutputsLink& Outputs() { return outputs_; }

 private:
  static LRESULT CALLBACK WindowProc(HWND, UINT, WPARAM, LPARAM);
  void Paint();
  void LoadLanguageID();
  void Dispatch(std::size_t serialCount, bool fromSocket);
  bool Abandoned() const;
  int CloseCommNow();
  bool IdentifyOnOpenPort();

  LinkFlavour flavour_;
  pel::link::LinkEnvironment env_;
  LinkHooks hooks_;
  HWND hwnd_ = nullptr;
  std::shared_ptr<pel::link::SerialLink> serial_;
  std::shared_ptr<pel::link::SocketWorker> worker_;
  std::unique_ptr<pel::Timer> timer_;
  int exchangeDepth_ = 0;     // published exchanges running (main thread)
  int keepDepth_ = 0;         // of them, those holding a keep-alive reference
  bool closePending_ = false; // CloseComm asked for during an exchange
  bool destroying_ = false;
  OutputsLink outputs_;
  std::shared_ptr<TPelmora> deferredRelease_;  // the last reference, dropped from the queue
  static constexpr UINT kReleaseMessage = WM_USER + 2;
};
