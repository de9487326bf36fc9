#include "studio/StudioRegistry.h"

#include <windows.h>

#include "platform/Registry.h"
#include "studio/core/StudioText.h"

namespace tessaly::reg {

const char* const kInterfaceKey = "\\Software\\VB and VBA Program Settings\\Pelmora\\Interface";
const char* const kMessageKey = "\\Software\\VB and VBA Program Settings\\Pelmora\\Message";
const char* const kExperimentKey = "\\Software\\VB and VBA Program Settings\\Pelmora\\Experiment\\";

std::string GetMessage(const std::string& key, const std::string& valueName) {
  return pel::reg::readString(pel::reg::Root::CurrentUser, key, valueName);
}

bool SetMessage(const std::string& key, const std::string& valueName, const std::string& text) {
  return pel::reg::writeString(pel::reg::Root::CurrentUser, key, valueName, text);
}

int GetLanguageID() {
  const int system = GetSystemDefaultLangID();
  const std::string key = std::string(kMessageKey) + "\\" + std::to_string(system);
  if (GetMessage(key, "Language").empty()) return 1033;
  const std::string lcid = GetMessage(key, "LCID");
  return lcid.empty() ? system : ParseInteger(lcid);
}

std::string DialogText(int language, const texts::Text& t) {
  const std::string key = std::string(kMessageKey) + "\\" + std::to_string(language) + "\\RunExperimentDialog";
  std::string s = GetMessage(key, t.value);
  return s.empty() ? std::string(t.builtIn) : s;
}

char UserDecimal() {
  char buf[8] = {};
  if (GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_SDECIMAL, buf, sizeof buf) > 1 && buf[0] != '\0') return buf[0];
  return '.';
}

}  // namespace tessaly::reg
