#include "highspeed/ui/Profile.h"

#include <windows.h>

#include <vector>

namespace ui {

Profile::Profile(std::string registryKey, std::string appName)
    : registryKey_(std::move(registryKey)), appName_(std::move(appName)) {}

std::string Profile::GetString(const std::string& section, const std::string& entry) const {
  const std::string path = Root() + "\\" + section;
  HKEY key = nullptr;
  if (RegCreateKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, 0, KEY_READ, nullptr, &key, nullptr) !=
      ERROR_SUCCESS) {
    if (RegOpenKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return {};
  }
  std::string result;
  DWORD type = 0, size = 0;
  if (RegQueryValueExA(key, entry.c_str(), nullptr, &type, nullptr, &size) == ERROR_SUCCESS &&
      (type == REG_SZ || type == REG_EXPAND_SZ) && size > 0 && size < (1u << 20)) {
    std::vector<char> buf(size + 1, '\0');
    DWORD got = size;
    if (RegQueryValueExA(key, entry.c_str(), nullptr, &type,
                         reinterpret_cast<BYTE*>(buf.data()), &got) == ERROR_SUCCESS) {
      buf[got < size ? got : size] = '\0';  // stored strings need not carry their NUL
      result = buf.data();
    }
  }
  RegCloseKey(key);
  return result;
}

std::string ModuleBaseName() {
  char path[MAX_PATH + 1] = {};
  const DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string full(path, n < MAX_PATH ? n : MAX_PATH);
  const auto slash = full.find_last_of("\\/");
  std::string base = slash == std::string::npos ? full : full.substr(slash + 1);
  const auto dot = base.find_last_of('.');
  if (dot != std::string::npos) base.resize(dot);
  return base;
}

}  // namespace ui
