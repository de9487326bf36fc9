#include "highspeed/export/ExportFile.h"

#include <windows.h>

#include "highspeed/export/ExportCsv.h"

namespace quillon {
namespace {

class FileHandle {
 public:
  explicit FileHandle(HANDLE h) : h_(h) {}
  ~FileHandle() {
    if (h_ != INVALID_HANDLE_VALUE) CloseHandle(h_);
  }
  FileHandle(const FileHandle&) = delete;
  FileHandle& operator=(const FileHandle&) = delete;
  HANDLE Get() const { return h_; }
  bool Close() {
    const bool ok = CloseHandle(h_) != FALSE;
    h_ = INVALID_HANDLE_VALUE;
    return ok;
  }

 private:
  HANDLE h_;
};

}  // namespace

bool WriteCsvFile(const std::string& path, const ExportSource& source, const ExportTexts& texts,
                  ExportUi& ui) {
  FileHandle file(CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr));
  if (file.Get() == INVALID_HANDLE_VALUE) {
    ui.ShowMessage(texts.MessageText("QuillonDlg11"));
    return false;
  }
  const std::string text = BuildCsvText(source, texts);
  DWORD written = 0;
  const bool ok = WriteFile(file.Get(), text.data(), static_cast<DWORD>(text.size()), &written, nullptr) &&
                  written == text.size();
  // A full disk must not be reported as a saved file.
  if (!file.Close() || !ok) {
    ui.ShowMessage(texts.MessageText("QuillonDlg11"));
    return false;
  }
  ui.ShowMessage(texts.MessageText("QuillonDlg12"));
  return true;
}

void SaveToFile(const ExportSource& source, const ExportTexts& texts, ExportUi& ui) {
  if (source.RowCount() == 0) return;
  const std::optional<std::string> path = ui.AskSavePath();
  if (!path) {
    ui.ShowMessage(texts.MessageText("QuillonDlg13"));
    return;
  }
  WriteCsvFile(*path, source, texts, ui);
}

}  // namespace quillon
