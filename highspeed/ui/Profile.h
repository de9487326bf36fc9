#pragma once
// Profile strings over the current user's registry, the way the dialog
// framework keeps them: "Software\<registry key>\<program name>\<section>".
#include <string>

namespace ui {

class Profile {
 public:
  Profile() = default;
  Profile(std::string registryKey, std::string appName);
  void SetRegistryKey(std::string registryKey) { registryKey_ = std::move(registryKey); }
  void SetAppName(std::string appName) { appName_ = std::move(appName); }
  // The string value, empty when missing or not a string. Reading creates the
  // keys along the path (empty) when they are missing; nothing is written.
  std::string GetString(const std::string& section, const std::string& entry) const;
  std::string Root() const { return "Software\\" + registryKey_ + "\\" + appName_; }

 private:
  std::string registryKey_;
  std::string appName_;
};

// The program's name as profiles use it: the executable's file name without extension.
std::string ModuleBaseName();

}  // namespace ui
