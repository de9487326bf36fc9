#pragma once
#include <string>
#include <vector>

#include "devicelink/setup/SetupTypes.h"

namespace pel::setup {

// Result of a set-up method (the fields changed in place): the error to raise (0 none) and
// the command frames to hand to SendCommand in order (without CR LF; set-up
// commands await no reply).
struct CommandOutcome {
  int error = error::None;
  std::vector<std::string> commands;
};

// printf-style frame text; only integer fields are used, so no locale matters.
std::string FormatCommand(const char* format, ...) __attribute__((format(printf, 1, 2)));

}  // namespace pel::setup
