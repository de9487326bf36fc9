#pragma once
// What the studio uses of the device link, so that the form's logic builds
// and is tested without Windows. The program's adapter forwards each member
// to TPelmora; channels count from 0 (A) here, the link's own channel
// arguments from 1.
#include <string>

namespace tessaly {

enum class InputMode { Digital, Analog, Scope };

class StudioLink {
 public:
  virtual ~StudioLink() = default;

  virtual bool Connected() const = 0;
  virtual std::string ModelName() const = 0;  // PelmoraType

  virtual double SamplingTime() const = 0;
  virtual void SamplingTime(double seconds) = 0;
  virtual double ExperimentLength() const = 0;
  virtual void ExperimentLength(double seconds) = 0;
  virtual InputMode InputModeNow() const = 0;
  virtual void SetInputMode(InputMode m) = 0;
  virtual void NoOfStroboSlit(int n) = 0;
  virtual void NoOfOverSampling(int n) = 0;
  virtual void LoopCount(int n) = 0;
  virtual int MaxRecordCount() const = 0;
  virtual void MaxRecordCount(int n) = 0;
  virtual void AutoStop(bool on) = 0;
  virtual void DigitalTimmingMode(bool on) = 0;
  virtual bool TimingModeAvailable() const = 0;  // InterfaceFunction_TimmingMode

  // CHAID..CHHID (-1 without a sensor) and CHAUnit..CHHUnit.
  virtual int SensorId(int channel) const = 0;
  virtual std::string Unit(int channel) const = 0;

  virtual void Run(bool on) = 0;  // Pelmora(true / false)
  virtual void SetConvertUnit(int channelNumber, int type, double a, double b) = 0;
  virtual void SensorRangeSetting(int channelNumber, int range) = 0;
  virtual void AutoSensorID() = 0;
  virtual void SetDigitalTiming(bool p1, bool p2, bool p3) = 0;
  virtual void SetChangeModeFor8Port(bool on) = 0;
};

}  // namespace tessaly
