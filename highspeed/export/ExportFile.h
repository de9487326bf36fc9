#pragma once
// The text-file export: the Save button's path and the file writer.

#include <string>

#include "highspeed/export/ExportSource.h"
#include "highspeed/export/ExportUi.h"

namespace quillon {

// Writes BuildCsvText into path in one write (an existing file is emptied),
// then shows "QuillonDlg12". A file that cannot be created, or a write that
// does not complete, shows "QuillonDlg11" and returns false.
bool WriteCsvFile(const std::string& path, const ExportSource& source, const ExportTexts& texts,
                  ExportUi& ui);

// OnBnClickedSave: nothing with an empty table; otherwise asks for a file
// name and writes it, or shows "QuillonDlg13" when the user cancels.
void SaveToFile(const ExportSource& source, const ExportTexts& texts, ExportUi& ui);

}  // namespace quillon
