#pragma once
// The export's copy of a finished download: the first rows of the capture
// table's columns A to C and the capture's settings, taken under the model's
// lock so a new download may refill the table while the export works.
#include "highspeed/AcquisitionModel.h"
#include "highspeed/export/ExportSource.h"

namespace quillon {

// rows is clamped to the rows the table holds.
ExportSource ExportSnapshot(AcquisitionModel& model, int rows);

}  // namespace quillon
