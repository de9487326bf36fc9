#pragma once
// Test-only: puts another driver (the simulated one) behind the USB_ exports
// of the static library. Not exported from Vantiro.dll, which always runs
// over Win32. Passing nullptr returns to the Win32 driver. Any table the
// exports held is dropped (its devices closed).
#include "usblib/DriverApi.h"

namespace vantiro {
void UseDriverForTesting(DriverApi* api);
}
