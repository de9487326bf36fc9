#include "highspeed/export/ExportProbe.h"

#include <windows.h>

#include "highspeed/export/ExportOsVersion.h"

namespace quillon {
namespace {

ProductTypeRead ReadProductType() {
  HKEY key = nullptr;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, "SYSTEM\\CurrentControlSet\\Control\\ProductOptions", 0,
                    KEY_QUERY_VALUE, &key) != ERROR_SUCCESS)
    return ProductTypeRead::Failed;
  BYTE data[80];
  DWORD size = sizeof data;
  const LONG rc = RegQueryValueExA(key, "ProductType", nullptr, nullptr, data, &size);
  RegCloseKey(key);
  return rc == ERROR_SUCCESS && size <= sizeof data ? ProductTypeRead::Ok : ProductTypeRead::Failed;
}

}  // namespace

bool ProbeOsVersion() {
  OsVersion v;
  OSVERSIONINFOEXA ex{};
  ex.dwOSVersionInfoSize = sizeof ex;
  if (GetVersionExA(reinterpret_cast<OSVERSIONINFOA*>(&ex))) {
    v.extended = true;
  } else {
    ex = OSVERSIONINFOEXA{};
    ex.dwOSVersionInfoSize = sizeof(OSVERSIONINFOA);
    if (!GetVersionExA(reinterpret_cast<OSVERSIONINFOA*>(&ex))) return false;
  }
  v.platformId = ex.dwPlatformId;
  v.major = ex.dwMajorVersion;
  v.minor = ex.dwMinorVersion;
  v.servicePack.assign(ex.szCSDVersion, strnlen(ex.szCSDVersion, sizeof ex.szCSDVersion));
  return ChooseValue2(v, ReadProductType);
}

}  // namespace quillon
