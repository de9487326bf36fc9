#include "sim/interface/ComPairLink.h"

#include <windows.h>

#include <stdexcept>

namespace pel::sim {
namespace {

constexpr const char* kSerialComm = "HARDWARE\\DEVICEMAP\\SERIALCOMM";

// The HARDWARE tree is volatile, so the key is opened (or made) volatile.
HKEY openSerialComm() {
  HKEY key = nullptr;
  LONG r = RegCreateKeyExA(HKEY_LOCAL_MACHINE, kSerialComm, 0, nullptr, REG_OPTION_VOLATILE,
                           KEY_SET_VALUE, nullptr, &key, nullptr);
  if (r != ERROR_SUCCESS)
    throw std::runtime_error("cannot open HKLM\\" + std::string(kSerialComm) + " (error " +
                             std::to_string(r) + ")");
  return key;
}

}  // namespace

ListedComPort::ListedComPort(int portNumber)
    : valueName_("\\Device\\PelmoraPty" + std::to_string(portNumber)) {
  HKEY key = openSerialComm();
  std::string data = "COM" + std::to_string(portNumber);
  LONG r = RegSetValueExA(key, valueName_.c_str(), 0, REG_SZ,
                          reinterpret_cast<const BYTE*>(data.c_str()),
                          static_cast<DWORD>(data.size() + 1));
  RegCloseKey(key);
  if (r != ERROR_SUCCESS)
    throw std::runtime_error("cannot list " + data + " (error " + std::to_string(r) + ")");
}

ListedComPort::~ListedComPort() {
  try {
    HKEY key = openSerialComm();
    RegDeleteValueA(key, valueName_.c_str());
    RegCloseKey(key);
  } catch (const std::exception&) {
    // Nothing to undo when the key cannot be opened.
  }
}

}  // namespace pel::sim
