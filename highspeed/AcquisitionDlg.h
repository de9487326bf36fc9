#pragma once
// The program's main dialog: finds the interface on a COM port, runs
// captures, lists and downloads the interface's buffers.
#include <windows.h>

#include <memory>
#include <string>

#include "highspeed/SerialPort.h"
#include "highspeed/ui/Handle.h"
#include "highspeed/resource.h"
#include "highspeed/ui/Dialog.h"

namespace quillon {

class CAcquisitionDlg : public ui::Dialog {
 public:
  CAcquisitionDlg();
  ~CAcquisitionDlg() override;

  void OnBnClickedExit();
  // 1 when no complete reply came within ms (the probe reads the ring itself).
  int WaitForReply(int ms);

 protected:
  BOOL OnInitDialog() override;
  void OnOK() override {}
  void OnCancel() override {}
  bool OnMessage(UINT msg, WPARAM wp, LPARAM lp, INT_PTR& result) override;

 private:
  void LoadCaptions();
  void ApplyCaptions();
  void ProbePort();
  bool TakePort();
  void Send(const std::string& command);

  HICON icon_ = nullptr;
  std::string captions_[13];
  std::unique_ptr<CSerialPort> port_;
  std::unique_ptr<ui::ComInit> com_;
  std::string m_portName;
  std::string m_modelName;
};

// The last value of the local machine's serial-port list, empty when none.
std::string LastSerialCommPort();

}  // namespace quillon
