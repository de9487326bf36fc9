#pragma once
// Flat C interface of the USB transfer library (Vantiro.dll) to the USB
// sensors. Every function uses the C calling convention with undecorated
// names. Results: counts or 1 for success, 0 for "no device" or a failed
// write, -1 for a failed or timed-out read (see each function).
//
// A driver handle that refuses to close ("Failed to close handle to driver.")
// can happen in USB_Open, USB_Close and USB_CheckDevice. No C++ exception
// leaves the DLL for it: one thrown inside a DLL linked with its own runtime
// does not unwind into another module on every target (the 32-bit build ends
// the process instead). These three calls instead set the thread's last error
// value: VANTIRO_ERROR_CLOSE_FAILED when a handle refused to close (the call
// stopped there, returning 0, 0 or 44), else 0. Read it with GetLastError()
// right after the call, or call the wrappers at the end of this header, which
// throw vantiro::DriverCloseError inside the caller's own module.
// USB_lsfit returns 0 for a good fit and a non-zero code otherwise (1 bad
// arguments, 2 singular or underdetermined, 3 NaN or infinite input, 4 no
// memory), the coefficients then all 0.
#include <cstddef>

#if defined(VANTIRO_BUILDING)
#define VANTIRO_API extern "C" __declspec(dllexport)
#elif defined(VANTIRO_STATIC)
// Linked from the static library the DLL is made of (the library's own tests).
#define VANTIRO_API extern "C"
#else
#define VANTIRO_API extern "C" __declspec(dllimport)
#endif

// Application-defined error code (bit 29 set), see above.
#define VANTIRO_ERROR_CLOSE_FAILED 0x20560001UL

VANTIRO_API int __cdecl USB_Init(int timeoutMs);
VANTIRO_API int __cdecl USB_Open();
VANTIRO_API int __cdecl USB_Close();
VANTIRO_API int __cdecl USB_Read(void* buffer, int length, int deviceIndex);
VANTIRO_API int __cdecl USB_Write(const void* buffer, int length, int deviceIndex);
VANTIRO_API int __cdecl USB_CheckOpen();
VANTIRO_API int __cdecl USB_CheckDevice();
VANTIRO_API int __cdecl USB_ProductName(wchar_t* out, int deviceIndex);
VANTIRO_API int __cdecl USB_GetXferSize(int deviceIndex);
VANTIRO_API int __cdecl USB_Reset();
VANTIRO_API int __cdecl USB_lsfit(const double* x, const double* y, int degree, int count,
                                  double* coefficients);

#if !defined(VANTIRO_BUILDING)
#include <windows.h>

#include <stdexcept>

namespace vantiro {

// Thrown by the wrappers below, in the caller's module.
class DriverCloseError : public std::runtime_error {
 public:
  DriverCloseError() : std::runtime_error("Failed to close handle to driver.") {}
};

namespace detail {
inline int ThrowOnCloseFailure(int result) {
  if (GetLastError() == VANTIRO_ERROR_CLOSE_FAILED) throw DriverCloseError();
  return result;
}
}  // namespace detail

inline int OpenOrThrow() { return detail::ThrowOnCloseFailure(USB_Open()); }
inline int CloseOrThrow() { return detail::ThrowOnCloseFailure(USB_Close()); }
inline int CheckDeviceOrThrow() { return detail::ThrowOnCloseFailure(USB_CheckDevice()); }

}  // namespace vantiro
#endif
