#pragma once
// The program's main dialog: finds the interface on a COM port, runs
// captures, lists, deletes and downloads the interface's buffers. Its state
// lives in the AcquisitionModel; the parse thread feeds the model the received
// bytes and carries out the effects it returns on the dialog's controls.
#include <windows.h>

#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

#include "highspeed/AcquisitionModel.h"
#include "highspeed/SerialPort.h"
#include "highspeed/resource.h"
#include "highspeed/ui/Dialog.h"
#include "highspeed/ui/Handle.h"

namespace quillon {

class CAcquisitionDlg;
// The hand-over to the export: toExcel picks the spreadsheet, else the text
// file (behind the Save dialog); rows counts from the start of the capture table.
using ExportHandler = std::function<void(CAcquisitionDlg& dlg, bool toExcel, int rows)>;

class CAcquisitionDlg : public ui::Dialog {
 public:
  CAcquisitionDlg();
  ~CAcquisitionDlg() override;

  // Button handlers.
  void OnBnClickedExit();
  void OnBnClickedExperiment();
  void OnBnClickedLoading();
  void OnBnClickedDelete();
  void OnBnClickedClear();
  void OnBnClickedLevel();
  LRESULT OnNMClickBufferList();
  // The exports (their work is plugged in through SetExportHandler).
  void OnBnClickedSave();
  void ExportToExcel(int rowCount);
  void SetExportHandler(ExportHandler h) { exportHandler_ = std::move(h); }

  // Operations the parse thread and the export use.
  void LoadChannelUnits(int a, int b, int c, int d);
  void FillBufferList();
  void ResetSelection();
  void FillExperimentRow();
  // 1 when no complete reply came within ms (the probe reads the ring itself).
  int WaitForReply(int ms);

  // Every shared field (capture table, sensor ids, intervals, selection...), under its lock.
  AcquisitionModel& Model() { return model_; }
  unsigned Language() const;
  int m_useValue2 = 0;  // set by the export's version probe

 protected:
  BOOL OnInitDialog() override;
  void OnOK() override {}
  void OnCancel() override {}
  bool OnMessage(UINT msg, WPARAM wp, LPARAM lp, INT_PTR& result) override;

 private:
  void LoadCaptions();
  void ApplyCaptions();
  void ProbePort();
  bool StartParseThread();
  void ReceiveThreadProc();
  void Execute(const Effects& fx);
  void ApplyControls();
  std::string SensorUnit(int sensorId) const;
  void WaitParseThreadEnd();

  AcquisitionModel model_;
  HICON icon_ = nullptr;
  std::string captions_[13];
  std::string listTitles_[4];
  std::unique_ptr<CSerialPort> port_;
  std::unique_ptr<ui::ComInit> com_;
  std::thread parseThread_;
  ui::UniqueHandle parseDone_;
  std::mutex listLock_;  // around the list refill
  std::string m_portName;
  ExportHandler exportHandler_;
};

// The last value of the local machine's serial-port list, empty when none.
std::string LastSerialCommPort();

}  // namespace quillon
