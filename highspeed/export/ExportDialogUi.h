#pragma once
// The exports' user interface over the Windows Save As dialog and message
// boxes, owned by the main dialog's window.

#include <windows.h>
#include <commdlg.h>

#include "highspeed/export/ExportUi.h"

namespace quillon {

// Save As set-up: filter "MyType Files (*.csv)", initial name "*.csv",
// default extension "csv", read-only box hidden; a new file may be chosen
// and an existing one is confirmed before it is replaced. fileName must hold
// MAX_PATH characters and receives the initial name.
void FillSaveDialog(OPENFILENAMEA& ofn, HWND owner, char* fileName, DWORD fileNameSize);

class DialogExportUi : public ExportUi {
 public:
  explicit DialogExportUi(HWND owner) : owner_(owner) {}
  std::optional<std::string> AskSavePath() override;
  void ShowMessage(const std::string& text) override;

 private:
  HWND owner_;
};

}  // namespace quillon
