#pragma once
// The spreadsheet export: a new worksheet behind the last one of a running
// Excel, filled over IDispatch.

#include "highspeed/export/ExportSource.h"
#include "highspeed/export/ExportUi.h"

namespace quillon {

enum class ExcelExportResult {
  Done,
  NoSpreadsheet,  // "Excel.Application" not registered, not running, or without IDispatch
  Failed,         // a call inside the sequence failed; its error text was shown
};

// The work of the dialog's ExportToExcel: every row of the snapshot (level
// rows included) on a new worksheet. Rows 1-3 get the header block; the data
// starts in row 4; a table without rows writes the header block only.
// Initialises COM on the calling thread for the call's duration.
// NoSpreadsheet shows nothing.
ExcelExportResult WriteWorksheet(const ExportSource& source, const ExportTexts& texts, ExportUi& ui);

}  // namespace quillon
