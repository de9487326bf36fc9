#include "highspeed/AcquisitionExport.h"

#include <algorithm>
#include <span>

#include "highspeed/AcquisitionApp.h"
#include "highspeed/export/ExportDialogUi.h"
#include "highspeed/export/ExportDownload.h"
#include "highspeed/export/ExportRegistryTexts.h"

namespace quillon {

namespace {

// Taken at once, so a new download may refill the table while the export
// still works on its copy.
ExportSource Snapshot(CAcquisitionDlg& dlg, int rows) {
  ExportSource source;
  dlg.Model().With([&](AcquisitionState& s) {
    const int n = std::clamp(rows, 0, s.table.m_rowCount);
    const auto column = [&](int c) {
      return std::span<const float>(s.table.columns[static_cast<std::size_t>(c)].data(), static_cast<std::size_t>(n));
    };
    SetRows(source, column(0), column(1), column(2), n);
    for (int ch = 0; ch < 3; ++ch) source.sensorId[ch] = s.m_sensorId[ch];
    source.slowInterval = s.m_slowInterval;
    source.fastInterval = s.m_fastInterval;
    source.levelRows = s.m_levelRows != 0;
    return 0;
  });
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
