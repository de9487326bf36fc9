#pragma once
// The classes-root keys that register the control, as data: the writer
// creates them in this order and the removal deletes them in reverse.
#include <string>
#include <vector>

namespace pel::com {

struct RegistryEntry {
  std::wstring key;        // below the classes root
  std::wstring valueName;  // empty: the key's default value
  std::wstring data;
  bool keyOnly = false;    // create the key, write no value
};

struct ControlIdentity {
  std::wstring clsid;        // "{...}"
  std::wstring libid;        // "{...}"
  std::wstring libraryName;  // type library name
  std::wstring className;    // coclass name
  std::wstring description;  // the coclass's documentation string
  int versionMajor = 1;
  int versionMinor = 0;
  unsigned miscStatus = 0;   // of the content aspect, in decimal
  int toolboxBitmap = 1;
  std::wstring fileName;       // the library's full file name
  std::wstring shortFileName;  // its short form (empty when there is none)
};

// The server's file name as InprocServer32 takes it: the short form when the
// name holds a blank and a short form exists.
std::wstring ServerPath(const ControlIdentity& id);

std::vector<RegistryEntry> ControlRegistration(const ControlIdentity& id);

}  // namespace pel::com
