#pragma once
#include <stdexcept>

namespace vantiro {

inline constexpr const char* kCloseFailedText = "Failed to close handle to driver.";

// Raised when the driver handle refuses to close.
class UsbDriverError : public std::runtime_error {
 public:
  UsbDriverError() : std::runtime_error(kCloseFailedText) {}
};

}  // namespace vantiro
