#pragma once
// A value of the system's serial-port list that names the link's end of a
// COM pair (the system lists only COM1), removed again when this goes away.
#include <windows.h>

#include <string>

#include "platform/Registry.h"

class ListedPort {
 public:
  ListedPort(std::string name, int port) : name_(std::move(name)), port_("COM" + std::to_string(port)) {}
  ~ListedPort() { Remove(); }
  ListedPort(const ListedPort&) = delete;
  ListedPort& operator=(const ListedPort&) = delete;

  bool Put() const { return pel::reg::writeString(pel::reg::Root::LocalMachine, kList, name_, port_); }
  void Remove() const {
    HKEY k;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kList, 0, KEY_SET_VALUE, &k) == ERROR_SUCCESS) {
      RegDeleteValueA(k, name_.c_str());
      RegCloseKey(k);
    }
  }

 private:
  static constexpr const char* kList = "HARDWARE\\DEVICEMAP\\SERIALCOMM";
  std::string name_, port_;
};
