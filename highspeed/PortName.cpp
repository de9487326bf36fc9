#include "highspeed/PortName.h"

namespace quillon {

std::string PortDeviceName(const std::string& name) {
  static const std::string prefix = "\\\\.\\";
  if (name.size() < 5 || name.compare(0, prefix.size(), prefix) == 0) return name;
  return prefix + name;
}

std::string PortNameForNumber(int number) {
  const std::string plain = "COM" + std::to_string(number);
  return number < 10 ? plain : "\\\\.\\" + plain;
}

}  // namespace quillon
