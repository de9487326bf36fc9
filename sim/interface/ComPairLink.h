#pragma once
// Test helper for the COM pty pairs that the ctest fixtures link into the
// Wine prefix (FIXTURES compair_A_B, cmake/ComPairs.cmake): Wine lists only
// COM1 under HKLM\HARDWARE\DEVICEMAP\SERIALCOMM, so a port that must appear
// in the system's port list is written there for as long as this lives.
//
//   pel::sim::ListedComPort listed(8);   // "COM8" now lists
#include <string>

namespace pel::sim {

class ListedComPort {
 public:
  // Writes the value "\Device\PelmoraPty<n>" = "COM<n>"; throws
  // std::runtime_error when the registry refuses.
  explicit ListedComPort(int portNumber);
  ~ListedComPort();  // removes the value again
  ListedComPort(const ListedComPort&) = delete;
  ListedComPort& operator=(const ListedComPort&) = delete;

  const std::string& valueName() const { return valueName_; }

 private:
  std::string valueName_;
};

}  // namespace pel::sim
