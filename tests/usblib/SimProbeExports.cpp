// A test DLL made like Vantiro.dll but with the simulated driver behind it,
// so a test program can see what crosses the module boundary.
#include <memory>

#include "sim/usbdriver/SimUsbDriver.h"
#include "usblib/VantiroTestHook.h"

namespace {
pelsim::SimUsbDriver& Sim() {
  static pelsim::SimUsbDriver sim;
  return sim;
}
}  // namespace

extern "C" __declspec(dllexport) void __cdecl VantiroProbe_PlugSensor() {
  vantiro::UseDriverForTesting(&Sim());
  Sim().Plug({});
}

extern "C" __declspec(dllexport) void __cdecl VantiroProbe_RefuseCloses(int n) { Sim().RefuseCloses(n); }
