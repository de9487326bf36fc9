#pragma once
// Flat C interface of the USB transfer library (Vantiro.dll) to the USB
// sensors. Every function uses the C calling convention with undecorated
// names. Results: counts or 1 for success, 0 for "no device" or a failed
// write, -1 for a failed or timed-out read (see each function).
#include <cstddef>

#if defined(VANTIRO_BUILDING)
#define VANTIRO_API extern "C" __declspec(dllexport)
#elif defined(VANTIRO_STATIC)
// Linked from the static library the DLL is made of (the library's own tests).
#define VANTIRO_API extern "C"
#else
#define VANTIRO_API extern "C" __declspec(dllimport)
#endif

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
