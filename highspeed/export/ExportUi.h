#pragma once
// What the exports ask of the user: a file name and OK message boxes. The
// dialog passes DialogExportUi; tests pass a fake so nothing blocks.

#include <optional>
#include <string>

namespace quillon {

class ExportUi {
 public:
  virtual ~ExportUi() = default;
  // The Save As dialog; the full path chosen, or nothing when cancelled.
  virtual std::optional<std::string> AskSavePath() = 0;
  // A modal OK box with the caption "Pelmora Experiment".
  virtual void ShowMessage(const std::string& text) = 0;
};

}  // namespace quillon
