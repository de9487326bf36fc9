#include "activex/Registration.h"

#include <windows.h>
#include <oleauto.h>

#include <string>

#include "activex/ComModule.h"
#include "activex/ComSupport.h"
#include "activex/PelmoraXIds.h"
#include "activex/RegistrationTable.h"

namespace pel::com {

namespace {

std::wstring guidText(REFGUID g) {
  wchar_t buf[40] = {};
  StringFromGUID2(g, buf, 40);
  return buf;
}

std::wstring shortName(const std::wstring& path) {
  const DWORD n = GetShortPathNameW(path.c_str(), nullptr, 0);
  if (n == 0) return {};
  std::wstring s(n, L'\0');
  const DWORD got = GetShortPathNameW(path.c_str(), s.data(), n);
  if (got == 0 || got >= n) return {};
  s.resize(got);
  return s;
}

ControlIdentity identity() {
  ControlIdentity id;
  id.clsid = guidText(CLSID_PelmoraX);
  id.libid = guidText(LIBID_PelmoraX);
  id.libraryName = L"PelmoraX";
  id.className = L"PelmoraX";
  id.description = L"PelmoraX Control";
  id.versionMajor = kTypeLibMajor;
  id.versionMinor = kTypeLibMinor;
  id.miscStatus = kControlMiscStatus;
  id.toolboxBitmap = kToolboxBitmap;
  id.fileName = Module::FileName();
  id.shortFileName = shortName(id.fileName);
  return id;
}

void check(LSTATUS rc, const std::wstring& key) {
  if (rc != ERROR_SUCCESS) {
    std::string k(key.begin(), key.end());
    throw ComError(HRESULT_FROM_WIN32(rc), "cannot write the registry key " + k);
  }
}

}  // namespace

void RegisterControlServer() {
  std::wstring path = Module::FileName();
  {
    auto lib = ComPtr<ITypeLib>::attach(Module::TypeLib());
    const HRESULT hr = RegisterTypeLib(lib.get(), path.data(), nullptr);
    if (FAILED(hr)) throw ComError(hr, "cannot register the type library");
  }
  for (const RegistryEntry& e : ControlRegistration(identity())) {
    HKEY key = nullptr;
    check(RegCreateKeyExW(HKEY_CLASSES_ROOT, e.key.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr),
          e.key);
    LSTATUS rc = ERROR_SUCCESS;
    if (!e.keyOnly)
      rc = RegSetValueExW(key, e.valueName.empty() ? nullptr : e.valueName.c_str(), 0, REG_SZ,
                          reinterpret_cast<const BYTE*>(e.data.c_str()),
                          static_cast<DWORD>((e.data.size() + 1) * sizeof(wchar_t)));
    RegCloseKey(key);
    check(rc, e.key);
  }
}

void UnregisterControlServer() {
  const auto entries = ControlRegistration(identity());
  for (auto it = entries.rbegin(); it != entries.rend(); ++it) {
    const LSTATUS rc = RegDeleteTreeW(HKEY_CLASSES_ROOT, it->key.c_str());
    if (rc != ERROR_SUCCESS && rc != ERROR_FILE_NOT_FOUND) check(rc, it->key);
  }
  // Removing what is not registered is no failure.
  BSTR registered = nullptr;
  if (FAILED(QueryPathOfRegTypeLib(LIBID_PelmoraX, kTypeLibMajor, kTypeLibMinor, kTypeLibLocale, &registered)))
    return;
  SysFreeString(registered);
  const HRESULT hr = UnRegisterTypeLib(LIBID_PelmoraX, kTypeLibMajor, kTypeLibMinor, kTypeLibLocale, SYS_WIN32);
  if (FAILED(hr)) throw ComError(hr, "cannot unregister the type library");
}

}  // namespace pel::com
