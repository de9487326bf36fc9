#pragma once
// TSDIAppForm: the studio's one window. It builds the controls, forwards
// their clicks and the link's events to the form logic (StudioModel) and
// shows what the logic changes (StudioView).
#include <windows.h>

#include <array>
#include <exception>
#include <memory>
#include <string>

#include "platform/Timer.h"
#include "studio/GraphSeam.h"
#include "studio/LinkAdapter.h"
#include "studio/core/StudioModel.h"

namespace tessaly {

class TSDIAppForm : public StudioView {
 public:
  TSDIAppForm();
  ~TSDIAppForm() override;
  TSDIAppForm(const TSDIAppForm&) = delete;
  TSDIAppForm& operator=(const TSDIAppForm&) = delete;
  // Creates and shows the window; false when it cannot be made.
  bool Create(HINSTANCE instance);
  HWND Handle() const { return hwnd_; }

  // StudioView
  void SetUnitLabel(int channel, const std::string& text) override;
  void SetValueText(int channel, const std::string& text) override;
  void MarkCaptured(int channel, bool captured) override;
  void SetStatus(int panel, const std::string& text) override;
  void HideModeCheckBox() override;
  void ShowEightPorts(bool shown) override;
  void SetCaptureButtons(const bool (&visible)[8], bool enabled) override;
  void EnableCaptureButtons(bool enabled) override;
  void EnableChannelGroup(bool enabled) override;
  void EnableModeCheckBox(bool enabled) override;
  void SetRunning(bool running) override;
  bool AskEraseKept() override;

 private:
  static LRESULT CALLBACK FormProc(HWND, UINT, WPARAM, LPARAM);
  static LRESULT CALLBACK PanelProc(HWND, UINT, WPARAM, LPARAM);
  LRESULT Handle(UINT msg, WPARAM wp, LPARAM lp);
  void BuildControls();
  HWND Child(HWND parent, const char* cls, const char* text, DWORD style, int x, int y, int w, int h, int id,
             DWORD exStyle = 0);
  void FormActivate();
  // A set-up that cannot go on: the error shown, only End left on the window.
  void OnlyEndLeft(const std::exception& e);
  void ShowError(const char* text);
  void SetUpConnected();
  void Command(int id);
  void Button5Click();
  bool SaveArrayToExcel();
  std::string Text(const texts::Text& t) const;

  HWND hwnd_ = nullptr;
  HFONT font_ = nullptr;
  HWND panel1_ = nullptr, panel2_ = nullptr, group_ = nullptr, label4_ = nullptr, check_ = nullptr;
  HWND button4_ = nullptr, button5_ = nullptr, status_ = nullptr;
  std::array<HWND, 8> edits_{}, captures_{}, units_{};
  std::array<bool, 8> marked_{};
  std::array<std::string, 8> shownValues_;  // the value boxes' texts
  std::array<std::string, 3> shownStatus_;  // the status panels' texts
  std::array<bool, 8> captureVisible_{};
  bool activated_ = false;
  bool mayClose_ = false;
  int formLanguage_ = 1033;

  std::shared_ptr<TPelmora> link_;
  std::unique_ptr<LinkAdapter> adapter_;
  std::unique_ptr<FormChart> chart_;
  std::unique_ptr<StudioModel> model_;
  std::unique_ptr<pel::Timer> timer_;
};

}  // namespace tessaly
