#pragma once
// Makes the stand-in findable as a running "Excel.Application": the ProgID
// under the current user's classes and the object in the running-object table.

#include <objbase.h>
#include <windows.h>

namespace pel::sim {

// {6A4F0C52-93B1-4E27-A8D5-3C1E27B90F41}, the stand-in's class id.
inline constexpr CLSID kSimExcelClsid = {
    0x6a4f0c52, 0x93b1, 0x4e27, {0xa8, 0xd5, 0x3c, 0x1e, 0x27, 0xb9, 0x0f, 0x41}};

// Writes HKCU\Software\Classes\Excel.Application\CLSID (and, where the
// system's ProgID lookup ignores per-user classes, the machine's entry when
// none exists); removes what it wrote again.
class ExcelProgIdRegistration {
 public:
  explicit ExcelProgIdRegistration(const CLSID& clsid);
  ~ExcelProgIdRegistration();
  ExcelProgIdRegistration(const ExcelProgIdRegistration&) = delete;
  ExcelProgIdRegistration& operator=(const ExcelProgIdRegistration&) = delete;
  bool Ok() const { return ok_; }

 private:
  bool ok_ = false;
  bool machineKey_ = false;
};

// RegisterActiveObject for the object's lifetime in the table.
class ActiveObjectRegistration {
 public:
  ActiveObjectRegistration(IUnknown* object, const CLSID& clsid);
  ~ActiveObjectRegistration();
  ActiveObjectRegistration(const ActiveObjectRegistration&) = delete;
  ActiveObjectRegistration& operator=(const ActiveObjectRegistration&) = delete;
  HRESULT Result() const { return hr_; }

 private:
  HRESULT hr_;
  DWORD cookie_ = 0;
};

}  // namespace pel::sim
