#pragma once
// Recording stand-ins for the link, the form's controls and the graph.
#include <array>
#include <map>
#include <string>
#include <vector>

#include "studio/core/ChartSurface.h"
#include "studio/core/StudioLink.h"
#include "studio/core/StudioView.h"

namespace tessaly::test {

struct FakeLink : StudioLink {
  std::vector<std::string> calls;  // the calls that change something, in order
  bool connected = true;
  std::string model = "Tolemic";
  double samplingTime = 0.2, experimentLength = 10;
  InputMode mode = InputMode::Analog;
  int maxRecords = 50000;
  bool timingAvailable = true;
  std::array<int, 8> ids{-1, -1, -1, -1, -1, -1, -1, -1};
  std::array<std::string, 8> units;
  int runs = 0, stops = 0;

  void log(std::string s) { calls.push_back(std::move(s)); }
  static std::string b(bool v) { return v ? "1" : "0"; }

  bool Connected() const override { return connected; }
  std::string ModelName() const override { return model; }
  double SamplingTime() const override { return samplingTime; }
  void SamplingTime(double s) override {
    samplingTime = s;
    log("SamplingTime " + std::to_string(s));
  }
  double ExperimentLength() const override { return experimentLength; }
  void ExperimentLength(double s) override {
    experimentLength = s;
    log("ExperimentLength " + std::to_string(s));
  }
  InputMode InputModeNow() const override { return mode; }
  void SetInputMode(InputMode m) override {
    mode = m;
    log(m == InputMode::Digital ? "CHInputMode Digital" : "CHInputMode Analog");
  }
  void NoOfStroboSlit(int n) override { log("NoOfStroboSlit " + std::to_string(n)); }
  void NoOfOverSampling(int n) override { log("NoOfOverSampling " + std::to_string(n)); }
  void LoopCount(int n) override { log("LoopCount " + std::to_string(n)); }
  int MaxRecordCount() const override { return maxRecords; }
  void MaxRecordCount(int n) override {
    maxRecords = n;
    log("Max_Record_Count " + std::to_string(n));
  }
  void AutoStop(bool on) override { log("AutoStop " + b(on)); }
  void DigitalTimmingMode(bool on) override { log("DigitalTimmingMode " + b(on)); }
  bool TimingModeAvailable() const override { return timingAvailable; }
  int SensorId(int k) const override { return ids[static_cast<std::size_t>(k)]; }
  std::string Unit(int k) const override { return units[static_cast<std::size_t>(k)]; }
  void Run(bool on) override {
    (on ? runs : stops)++;
    log(on ? "Pelmora 1" : "Pelmora 0");
  }
  void SetConvertUnit(int ch, int type, double a, double bb) override {
    log("SetConvertUnit " + std::to_string(ch) + " " + std::to_string(type) + " " + std::to_string(a) + " " +
        std::to_string(bb));
  }
  void SensorRangeSetting(int ch, int r) override {
    log("SensorRangeSetting " + std::to_string(ch) + " " + std::to_string(r));
  }
  void AutoSensorID() override { log("AutoSensorID"); }
  void SetDigitalTiming(bool p1, bool p2, bool p3) override { log("SetDigitalTiming " + b(p1) + b(p2) + b(p3)); }
  void SetChangeModeFor8Port(bool on) override { log("SetChangeModeFor8Port " + b(on)); }
};

struct FakeView : StudioView {
  std::array<std::string, 8> unitLabels, values;
  std::array<bool, 8> marked{};
  std::array<std::string, 3> status;
  bool checkBoxHidden = false;
  bool eightShown = false;
  std::array<bool, 8> buttonsVisible{};
  bool buttonsEnabled = false;
  bool groupEnabled = false, checkBoxEnabled = true, running = false;
  bool eraseAnswer = false;
  int questions = 0;
  int textsSet = 0;  // value box and status bar texts set

  void SetUnitLabel(int k, const std::string& t) override { unitLabels[static_cast<std::size_t>(k)] = t; }
  void SetValueText(int k, const std::string& t) override {
    values[static_cast<std::size_t>(k)] = t;
    ++textsSet;
  }
  void MarkCaptured(int k, bool c) override { marked[static_cast<std::size_t>(k)] = c; }
  void SetStatus(int panel, const std::string& t) override {
    status[static_cast<std::size_t>(panel)] = t;
    ++textsSet;
  }
  void HideModeCheckBox() override { checkBoxHidden = true; }
  void ShowEightPorts(bool shown) override { eightShown = shown; }
  void SetCaptureButtons(const bool (&visible)[8], bool enabled) override {
    for (int k = 0; k < 8; ++k) buttonsVisible[static_cast<std::size_t>(k)] = visible[k];
    buttonsEnabled = enabled;
  }
  void EnableCaptureButtons(bool e) override { buttonsEnabled = e; }
  void EnableChannelGroup(bool e) override { groupEnabled = e; }
  void EnableModeCheckBox(bool e) override { checkBoxEnabled = e; }
  void SetRunning(bool r) override { running = r; }
  bool AskEraseKept() override {
    ++questions;
    return eraseAnswer;
  }
};

struct FakeChart : ChartSurface {
  std::vector<std::string> calls;  // settings, not the data points
  int subsets = 0, points = 0, repaints = 0;
  std::map<std::pair<int, int>, std::pair<float, float>> data;  // (subset, point) -> (x, y)

  void log(std::string s) { calls.push_back(std::move(s)); }
  void ReinitializeCustoms() override { log("PEreinitializecustoms"); }
  void Set(ChartFlag f, bool v) override { log("flag" + std::to_string(static_cast<int>(f)) + "=" + (v ? "1" : "0")); }
  void Set(ChartColour c, unsigned v) override {
    log("colour" + std::to_string(static_cast<int>(c)) + "=" + std::to_string(v));
  }
  void Set(ChartNumber n, double v) override {
    log("number" + std::to_string(static_cast<int>(n)) + "=" + std::to_string(v));
  }
  void Set(ChartText t, const std::string& v) override { log("text" + std::to_string(static_cast<int>(t)) + "=" + v); }
  void Set(ChartChoice c, int v) override {
    log("choice" + std::to_string(static_cast<int>(c)) + "=" + std::to_string(v));
  }
  int Subsets() const override { return subsets; }
  void Subsets(int n) override {
    subsets = n;
    log("Subsets=" + std::to_string(n));
  }
  int Points() const override { return points; }
  void Points(int n) override { points = n; }
  void SetXData(int s, int p, float v) override { data[{s, p}].first = v; }
  void SetYData(int s, int p, float v) override { data[{s, p}].second = v; }
  void SetSubsetLabel(int s, const std::string& t) override { log("SubsetLabel" + std::to_string(s) + "=" + t); }
  void SetWorkingAxis(int a) override { log("WorkingAxis=" + std::to_string(a)); }
  void SetIntCell3001(int i, int v) override { log("3001[" + std::to_string(i) + "]=" + std::to_string(v)); }
  void SetIntCell3059(int i, int v) override { log("3059[" + std::to_string(i) + "]=" + std::to_string(v)); }
  void SetIntCell3271(int i, int v) override { log("3271[" + std::to_string(i) + "]=" + std::to_string(v)); }
  void SetIntProp2618(int v) override { log("2618=" + std::to_string(v)); }
  void SetIntProp2619(int v) override { log("2619=" + std::to_string(v)); }
  void SetBoolProp2975(bool v) override { log(std::string("2975=") + (v ? "1" : "0")); }
  void SetBoolProp3111(bool v) override { log(std::string("3111=") + (v ? "1" : "0")); }
  void SetBoolProp3149(bool v) override { log(std::string("3149=") + (v ? "1" : "0")); }
  void Repaint() override { ++repaints; }
};

}  // namespace tessaly::test
