#include "highspeed/export/ExportDownload.h"

#include "highspeed/export/ExportExcel.h"
#include "highspeed/export/ExportFile.h"

namespace quillon {

void ExportDownload(const ExportSource& source, bool exportToExcel, const ExportTexts& texts, ExportUi& ui) {
  if (exportToExcel) {
    if (WriteWorksheet(source, texts, ui) != ExcelExportResult::NoSpreadsheet) return;
    if (source.RowCount() == 0) return;  // nothing to lose
    ui.ShowMessage(kNoSpreadsheetText);
  }
  SaveToFile(source, texts, ui);
}

}  // namespace quillon
