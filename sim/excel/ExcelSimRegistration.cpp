#include "sim/excel/ExcelSimRegistration.h"

#include <oleauto.h>

namespace pel::sim {
namespace {
constexpr char kProgIdKey[] = "Software\\Classes\\Excel.Application";
}  // namespace

namespace {

bool WriteClsid(HKEY root, const char* path, const char* text) {
  HKEY key = nullptr;
  if (RegCreateKeyExA(root, path, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr) != ERROR_SUCCESS)
    return false;
  const bool ok = RegSetValueExA(key, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(text),
                                 static_cast<DWORD>(strlen(text) + 1)) == ERROR_SUCCESS;
  RegCloseKey(key);
  return ok;
}

bool ProgIdMapsTo(const CLSID& clsid) {
  CLSID found{};
  return SUCCEEDED(CLSIDFromProgID(L"Excel.Application", &found)) && IsEqualCLSID(found, clsid);
}

}  // namespace

ExcelProgIdRegistration::ExcelProgIdRegistration(const CLSID& clsid) {
  wchar_t wide[64];
  if (StringFromGUID2(clsid, wide, 64) == 0) return;
  char text[64];
  WideCharToMultiByte(CP_ACP, 0, wide, -1, text, sizeof text, nullptr, nullptr);
  if (!WriteClsid(HKEY_CURRENT_USER, "Software\\Classes\\Excel.Application\\CLSID", text)) return;
  ok_ = ProgIdMapsTo(clsid);
  if (ok_) return;
  // Wine's ProgID lookup reads only the machine's classes: register it there too,
  // unless something of that name is already there.
  HKEY existing = nullptr;
  if (RegOpenKeyExA(HKEY_CLASSES_ROOT, "Excel.Application", 0, KEY_READ, &existing) == ERROR_SUCCESS) {
    RegCloseKey(existing);
    return;
  }
  machineKey_ = WriteClsid(HKEY_CLASSES_ROOT, "Excel.Application\\CLSID", text);
  ok_ = machineKey_ && ProgIdMapsTo(clsid);
}

ExcelProgIdRegistration::~ExcelProgIdRegistration() {
  RegDeleteTreeA(HKEY_CURRENT_USER, kProgIdKey);
  if (machineKey_) RegDeleteTreeA(HKEY_CLASSES_ROOT, "Excel.Application");
}

ActiveObjectRegistration::ActiveObjectRegistration(IUnknown* object, const CLSID& clsid)
    : hr_(RegisterActiveObject(object, clsid, ACTIVEOBJECT_STRONG, &cookie_)) {}

ActiveObjectRegistration::~ActiveObjectRegistration() {
  if (SUCCEEDED(hr_)) RevokeActiveObject(cookie_, nullptr);
}

}  // namespace pel::sim
