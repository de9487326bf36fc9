#include "highspeed/RegistryText.h"

#include <windows.h>

namespace quillon {

std::string ReadRegString(const std::string& keyPath, const std::string& valueName) {
  HKEY key = nullptr;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, keyPath.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return {};
  char buf[256];
  DWORD size = sizeof buf;
  DWORD type = 0;
  std::string result;
  if (RegQueryValueExA(key, valueName.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(buf), &size) ==
          ERROR_SUCCESS &&
      (type == REG_SZ || type == REG_EXPAND_SZ) && size > 0 && size <= sizeof buf && buf[size - 1] == '\0') {
    result = buf;
  }
  RegCloseKey(key);
  return result;
}

std::string LocalizedText(const ui::Profile& profile, unsigned language, const std::string& key,
                          TextSection section) {
  std::string lang = std::to_string(language);
  if (profile.GetString(lang, "Language").empty()) {
    lang = "1033";
  } else {
    const std::string lcid = profile.GetString(lang, "LCID");
    if (!lcid.empty()) lang = lcid;
  }
  switch (section) {
    case TextSection::MainDialog: lang += "\\MainDialog"; break;
    case TextSection::MainProcess: lang += "\\MainProcess"; break;
    case TextSection::Message: lang += "\\Message"; break;
  }
  return profile.GetString(lang, key);
}

}  // namespace quillon
