#include "highspeed/AcquisitionExport.h"

#include "highspeed/AcquisitionApp.h"
#include "highspeed/ExportSnapshot.h"
#include "highspeed/export/ExportDialogUi.h"
#include "highspeed/export/ExportDownload.h"
#include "highspeed/export/ExportRegistryTexts.h"

namespace quillon {

namespace {

// Taken at once, so a new download may refill the table while the export
// still works on its copy.
ExportSource Snapshot(CAcquisitionDlg& dlg, int rows) {
  ExportSource source = ExportSnapshot(dlg.Model(), rows);
  source.useValue2 = dlg.m_useValue2 != 0;
  return source;
}

}  // namespace

ExportHandler MakeExportHandler(const CAcquisitionApp& app) {
  return [&app](CAcquisitionDlg& dlg, bool toExcel, int rows) {
    const ExportSource source = Snapshot(dlg, rows);
    const RegistryExportTexts texts(
        dlg.Language(), [](const std::string& key, const std::string& value) { return ReadRegString(key, value); },
        [&app](unsigned language, const std::string& key, int section) {
          return app.GetLocalizedText(language, key, section);
        });
    DialogExportUi ui(dlg.Hwnd());
    ExportDownload(source, toExcel, texts, ui);
  };
}

}  // namespace quillon
