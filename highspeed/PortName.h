#pragma once
// Device names for COM ports: names of 5 or more characters (COM10 and up)
// need the "\\.\" device prefix to open.
#include <string>

namespace quillon {

// The name Open hands to the system for a port name (already-prefixed names stay).
std::string PortDeviceName(const std::string& name);
// "COM%d" below 10, "\\.\COM%d" from 10 on.
std::string PortNameForNumber(int number);

}  // namespace quillon
