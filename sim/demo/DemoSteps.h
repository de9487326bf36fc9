#pragma once
// The demo's runs of the programs, one per program.
#include <string>

namespace pel::demo {

// Starts Tessaly; with press, presses Start, waits for the automatic stop,
// takes the screenshot (when a path is given) and presses End, else waits
// for the user to end it. Then prints the table handed back on the clipboard.
int RunTessaly(const std::string& exe, bool press, const std::string& shot);

// Quillon against the simulated high-speed interface on COM simPort (linked
// to hostPort): a capture, the buffer list, a download, the Save dialog
// filled with csvPath, a screenshot; then prints the file written.
int RunQuillon(const std::string& exe, int hostPort, int simPort, const std::string& csvPath,
               const std::string& shot);

}  // namespace pel::demo
