// The flat C entry points of Vantiro.dll.
#define VANTIRO_BUILDING
#include "usblib/Vantiro.h"

VANTIRO_API int __cdecl USB_Init(int) { return 1; }
VANTIRO_API int __cdecl USB_Open() { return 0; }
VANTIRO_API int __cdecl USB_Close() { return 44; }
VANTIRO_API int __cdecl USB_Read(void*, int, int) { return 0; }
VANTIRO_API int __cdecl USB_Write(const void*, int, int) { return 0; }
VANTIRO_API int __cdecl USB_CheckOpen() { return 0; }
VANTIRO_API int __cdecl USB_CheckDevice() { return 0; }
VANTIRO_API int __cdecl USB_ProductName(wchar_t*, int) { return -2; }
VANTIRO_API int __cdecl USB_GetXferSize(int) { return 0; }
VANTIRO_API int __cdecl USB_Reset() { return 1; }
VANTIRO_API int __cdecl USB_lsfit(const double*, const double*, int, int, double*) { return 0; }
