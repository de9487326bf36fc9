#include "devicelink/setup/CommandOutcome.h"

#include <cstdarg>
#include <cstdio>

namespace pel::setup {

std::string FormatCommand(const char* format, ...) {
  char buffer[128];
  va_list args;
  va_start(args, format);
  const int n = std::vsnprintf(buffer, sizeof buffer, format, args);
  va_end(args);
  if (n < 0) return {};
  return std::string(buffer, static_cast<std::size_t>(n) < sizeof buffer ? static_cast<std::size_t>(n) : sizeof buffer - 1);
}

}  // namespace pel::setup
