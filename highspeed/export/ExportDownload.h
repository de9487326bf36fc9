#pragma once
// The end of a download: the table goes to the spreadsheet or to a file.

#include "highspeed/export/ExportSource.h"
#include "highspeed/export/ExportUi.h"

namespace quillon {

// Shown when the spreadsheet option is on but no spreadsheet can be reached;
// the Save dialog follows so the download is not lost.
inline constexpr char kNoSpreadsheetText[] =
    "Excel is not running. Save the data to a file instead.";

// With exportToExcel (LoadOption "TRUE"): WriteWorksheet; when no spreadsheet
// runs and the table has rows, kNoSpreadsheetText and then SaveToFile.
// Otherwise SaveToFile.
void ExportDownload(const ExportSource& source, bool exportToExcel, const ExportTexts& texts, ExportUi& ui);

}  // namespace quillon
