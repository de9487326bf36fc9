#include "highspeed/export/ExportDialogUi.h"

#include <cstring>

namespace quillon {
namespace {
// "MyType Files (*.csv)|*.csv||" in the dialog's zero-separated form.
constexpr char kFilter[] = "MyType Files (*.csv)\0*.csv\0";
constexpr char kCaption[] = "Pelmora Experiment";
}  // namespace

void FillSaveDialog(OPENFILENAMEA& ofn, HWND owner, char* fileName, DWORD fileNameSize) {
  ZeroMemory(&ofn, sizeof ofn);
  ofn.lStructSize = sizeof ofn;
  ofn.hwndOwner = owner;
  ofn.lpstrFilter = kFilter;
  ofn.nFilterIndex = 1;
  strncpy(fileName, "*.csv", fileNameSize);
  fileName[fileNameSize - 1] = '\0';
  ofn.lpstrFile = fileName;
  ofn.nMaxFile = fileNameSize;
  ofn.lpstrDefExt = "csv";
  ofn.Flags = OFN_HIDEREADONLY | OFN_PATHMUSTEXIST | OFN_OVERWRITEPROMPT;
}

std::optional<std::string> DialogExportUi::AskSavePath() {
  char fileName[MAX_PATH];
  OPENFILENAMEA ofn;
  FillSaveDialog(ofn, owner_, fileName, MAX_PATH);
  if (!GetSaveFileNameA(&ofn)) return std::nullopt;
  return std::string(fileName);
}

void DialogExportUi::ShowMessage(const std::string& text) {
  MessageBoxA(owner_, text.c_str(), kCaption, MB_OK);
}

}  // namespace quillon
