// A module that lets the library's exception out of a C function.
#include "usblib/DriverError.h"

extern "C" __declspec(dllexport) int __cdecl ThrowProbe_Throw() { throw vantiro::UsbDriverError(); }
