#pragma once

namespace quillon {

// ProbeOsVersion: true when values go to the spreadsheet through Range.Value2
// (Windows 98 first edition and Windows 2000; see ChooseValue2).
bool ProbeOsVersion();

}  // namespace quillon
