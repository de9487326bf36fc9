// The flat C entry points of Vantiro.dll. No C++ exception leaves them: a
// driver handle that refuses to close is reported through the thread's last
// error value (see Vantiro.h), because an exception thrown in this module does
// not unwind into a caller of another module on every target.
#define VANTIRO_BUILDING
#include "usblib/Vantiro.h"

#include <windows.h>

#include <algorithm>
#include <memory>
#include <mutex>
#include <new>

#include "usblib/DriverError.h"
#include "usblib/LeastSquares.h"
#include "usblib/UsbLibrary.h"
#include "usblib/VantiroTestHook.h"
#include "usblib/Win32DriverApi.h"

namespace {

std::mutex& LibraryLock() {
  static std::mutex lock;
  return lock;
}

std::unique_ptr<vantiro::UsbLibrary>& LibrarySlot() {
  static std::unique_ptr<vantiro::UsbLibrary> library;
  return library;
}

vantiro::UsbLibrary& Library() {
  static vantiro::Win32DriverApi win32;
  std::lock_guard guard(LibraryLock());
  auto& slot = LibrarySlot();
  if (!slot) slot = std::make_unique<vantiro::UsbLibrary>(win32);
  return *slot;
}

// Runs one of the calls that close driver handles; the last error tells the
// host whether a handle refused to close.
template <typename Call>
int Guarded(int failed, Call call) {
  DWORD error = 0;
  int result = failed;
  try {
    result = call();
  } catch (const vantiro::UsbDriverError&) {
    error = VANTIRO_ERROR_CLOSE_FAILED;
  } catch (const std::bad_alloc&) {
    error = ERROR_NOT_ENOUGH_MEMORY;
  }
  SetLastError(error);
  return result;
}

// The other calls close nothing; memory exhaustion is the one thing left.
template <typename Call>
int Plain(int failed, Call call) {
  try {
    return call();
  } catch (const std::exception&) {
    return failed;
  }
}

}  // namespace

namespace vantiro {
void UseDriverForTesting(DriverApi* api) {
  static Win32DriverApi win32;
  std::lock_guard guard(LibraryLock());
  LibrarySlot() = std::make_unique<UsbLibrary>(api ? *api : static_cast<DriverApi&>(win32));
}
}  // namespace vantiro

VANTIRO_API int __cdecl USB_Init(int timeoutMs) {
  return Plain(1, [&] { return Library().Init(timeoutMs); });
}

VANTIRO_API int __cdecl USB_Open() {
  return Guarded(0, [] { return Library().Open(); });
}

VANTIRO_API int __cdecl USB_Close() {
  return Guarded(vantiro::kCloseResult, [] { return Library().Close(); });
}

VANTIRO_API int __cdecl USB_Read(void* buffer, int length, int deviceIndex) {
  return Plain(-1, [&] { return Library().Read(buffer, length, deviceIndex); });
}

VANTIRO_API int __cdecl USB_Write(const void* buffer, int length, int deviceIndex) {
  return Plain(0, [&] { return Library().Write(buffer, length, deviceIndex); });
}

VANTIRO_API int __cdecl USB_CheckOpen() {
  return Plain(0, [] { return Library().CheckOpen(); });
}

VANTIRO_API int __cdecl USB_CheckDevice() {
  return Guarded(0, [] { return Library().CheckDevice(); });
}

VANTIRO_API int __cdecl USB_ProductName(wchar_t* out, int deviceIndex) {
  return Plain(-1, [&] {
    std::u16string name;
    const int result = Library().ProductName(name, deviceIndex);
    if (result >= 0 && out) {
      const std::size_t n = std::min(name.size(), vantiro::kProductNameUnits - 1);
      std::copy_n(name.begin(), n, out);
      out[n] = L'\0';
    }
    return result;
  });
}

VANTIRO_API int __cdecl USB_GetXferSize(int deviceIndex) {
  return Plain(0, [&] { return Library().GetXferSize(deviceIndex); });
}

VANTIRO_API int __cdecl USB_Reset() {
  return Plain(1, [] { return Library().Reset(); });
}

VANTIRO_API int __cdecl USB_lsfit(const double* x, const double* y, int degree, int count,
                                  double* coefficients) {
  return vantiro::FitPolynomial(x, y, degree, count, coefficients);
}
