#pragma once
// What the form's logic changes on the window. The program's form implements
// it over its controls; tests record the calls. Channels count from 0 (A).
#include <string>

namespace tessaly {

class StudioView {
 public:
  virtual ~StudioView() = default;
  virtual void SetUnitLabel(int channel, const std::string& text) = 0;
  virtual void SetValueText(int channel, const std::string& text) = 0;
  // Blue while the channel's value is captured for the row being built.
  virtual void MarkCaptured(int channel, bool captured) = 0;
  virtual void SetStatus(int panel, const std::string& text) = 0;
  virtual void HideModeCheckBox() = 0;
  // Value boxes and unit labels of E..H shown, or those and the capture
  // buttons of E..H hidden.
  virtual void ShowEightPorts(bool shown) = 0;
  // Capture buttons: the visible ones and whether they take clicks.
  virtual void SetCaptureButtons(const bool (&visible)[8], bool enabled) = 0;
  virtual void EnableCaptureButtons(bool enabled) = 0;
  virtual void EnableChannelGroup(bool enabled) = 0;
  virtual void EnableModeCheckBox(bool enabled) = 0;
  virtual void SetRunning(bool running) = 0;  // Start/Stop caption, End enabled
  // The question before a new run drops the kept rows; true for Yes.
  virtual bool AskEraseKept() = 0;
};

}  // namespace tessaly
