#pragma once
// The studio's view of the device link over one TPelmora.
#include <memory>

#include "devicelink/Pelmora.h"
#include "studio/core/StudioLink.h"

namespace tessaly {

class LinkAdapter : public StudioLink {
 public:
  explicit LinkAdapter(std::shared_ptr<TPelmora> p) : p_(std::move(p)) {}
  TPelmora& Link() { return *p_; }

  bool Connected() const override { return p_->PelmoraConnected(); }
  std::string ModelName() const override { return p_->PelmoraType(); }
  double SamplingTime() const override { return p_->SamplingTime(); }
  void SamplingTime(double s) override { p_->SamplingTime(s); }
  double ExperimentLength() const override { return p_->ExperimentLength(); }
  void ExperimentLength(double s) override { p_->ExperimentLength(s); }
  InputMode InputModeNow() const override;
  void SetInputMode(InputMode m) override;
  void NoOfStroboSlit(int n) override { p_->NoOfStroboSlit(n); }
  void NoOfOverSampling(int n) override { p_->NoOfOverSampling(n); }
  void LoopCount(int n) override { p_->LoopCount(n); }
  int MaxRecordCount() const override { return p_->Max_Record_Count(); }
  void MaxRecordCount(int n) override { p_->Max_Record_Count(n); }
  void AutoStop(bool on) override { p_->AutoStop(on); }
  void DigitalTimmingMode(bool on) override { p_->DigitalTimmingMode(on); }
  bool TimingModeAvailable() const override { return p_->InterfaceFunction_TimmingMode(); }
  int SensorId(int channel) const override;
  std::string Unit(int channel) const override;
  void Run(bool on) override { p_->Pelmora(on); }
  void SetConvertUnit(int ch, int type, double a, double b) override { p_->SetConvertUnit(ch, type, a, b); }
  void SensorRangeSetting(int ch, int range) override { p_->SensorRangeSetting(ch, range); }
  void AutoSensorID() override { p_->AutoSensorID(); }
  void SetDigitalTiming(bool p1, bool p2, bool p3) override;
  void SetChangeModeFor8Port(bool on) override;

 private:
  std::shared_ptr<TPelmora> p_;
};

}  // namespace tessaly
