#include "activex/RegistrationTable.h"

namespace pel::com {

std::wstring ServerPath(const ControlIdentity& id) {
  if (id.fileName.find(L' ') != std::wstring::npos && !id.shortFileName.empty()) return id.shortFileName;
  return id.fileName;
}

std::vector<RegistryEntry> ControlRegistration(const ControlIdentity& id) {
  const std::wstring clsidKey = L"CLSID\\" + id.clsid;
  const std::wstring progId = id.libraryName + L"." + id.className;
  const std::wstring version = std::to_wstring(id.versionMajor) + L"." + std::to_wstring(id.versionMinor);
  return {
      {clsidKey, L"", id.description},
      {clsidKey + L"\\InprocServer32", L"", ServerPath(id)},
      {clsidKey + L"\\InprocServer32", L"ThreadingModel", L"Apartment"},
      {clsidKey + L"\\ProgID", L"", progId},
      {progId, L"", id.description},
      {progId + L"\\Clsid", L"", id.clsid},
      {clsidKey + L"\\Version", L"", version},
      {clsidKey + L"\\TypeLib", L"", id.libid},
      {clsidKey + L"\\MiscStatus", L"", L"0"},
      {clsidKey + L"\\MiscStatus\\1", L"", std::to_wstring(id.miscStatus)},
      {clsidKey + L"\\ToolboxBitmap32", L"", id.fileName + L"," + std::to_wstring(id.toolboxBitmap)},
      {clsidKey + L"\\Control", L"", L""},
      {clsidKey + L"\\Verb", L"", L"", true},
      {clsidKey + L"\\Verb\\0", L"", L"Properties,0,2"},
  };
}

}  // namespace pel::com
