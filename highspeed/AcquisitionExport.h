#pragma once
// The program's export hand-over: what the dialog passes to the export at the
// end of a download (or on the Save button).
#include "highspeed/AcquisitionDlg.h"

namespace quillon {

class CAcquisitionApp;

// Copies the first rows of the capture table and the capture's settings
// under the model's lock, then exports the copy to the spreadsheet or to a
// file, with the app's texts and message boxes owned by the dialog.
ExportHandler MakeExportHandler(const CAcquisitionApp& app);

}  // namespace quillon
