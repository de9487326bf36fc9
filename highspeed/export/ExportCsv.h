#pragma once
// The semicolon-separated text of a capture: three header lines, then the
// data lines in the form that matches how the rows were captured.

#include <string>

#include "highspeed/export/ExportSource.h"

namespace quillon {

// The whole file content: 8-bit text, CR LF line ends, point decimals.
//  - level rows: per crossing interval i (from 0) the time between crossings
//    i and i+1 of each active channel; n crossings give n-1 lines;
//  - fast capture: per row k (from 1) the time k * interval and the value of
//    every active channel (all three columns when no channel is active);
//  - slow capture: per row k the time and all three columns.
std::string BuildCsvText(const ExportSource& source, const ExportTexts& texts);

}  // namespace quillon
