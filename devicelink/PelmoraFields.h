#pragma once
#include <array>
#include <string>

#include "devicelink/PelmoraTypes.h"

// The component's published fields with their defaults after construction;
// a getter P() reads F_.P.
struct PelmoraFields {
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
  std::array<bool, 8> signInvert{};  // SetSignInvert; cleared by the sensor loads for unlisted sensors
  bool CheckForExperiment = true;
  bool AutoDetect = true;
  bool ThreadType = false;
  bool UseOnlyUSBSensor = false;
  std::array<long long, 8> libUsbHandles{-1, -1, -1, -1, -1, -1, -1, -1};
  int libUsbHandleCount = 0;
  int Max_Record_Count = 50000;
  bool Mode8Port = false;
  bool GetModeFor8Port = false;
  TEventDataReceived DataReceived;
  TEventError PelmoraError;
  TEventStartExperiment StartExperiment;
  TEventStopExperiment StopExperiment;
  bool InterfaceFunction_ScopeMode = false;
  bool UseOnlyTolemic = false;
};
