#pragma once
// The demo's runs of the programs, one per program.
#include <string>

namespace pel::demo {

// Starts Tessaly; with press, presses Start, waits for the automatic stop,
// takes the screenshot (when a path is given) and presses End, else waits
// for the user to end it. Then prints the table handed back on the clipboard.
int RunTessaly(const std::string& exe, bool press, const std::string& shot);

}  // namespace pel::demo
