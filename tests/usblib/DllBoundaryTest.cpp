// Through the DLL boundary: a refused close reaches the calling module as the
// last error value and the header's wrappers turn it into an exception there.
#include "usblib/Vantiro.h"

#include <gtest/gtest.h>

extern "C" __declspec(dllimport) void __cdecl VantiroProbe_PlugSensor();
extern "C" __declspec(dllimport) void __cdecl VantiroProbe_RefuseCloses(int n);

TEST(DllBoundary, RefusedCloseBecomesAnExceptionInTheCaller) {
  VantiroProbe_PlugSensor();
  ASSERT_EQ(USB_Init(1000), 1);
  ASSERT_EQ(vantiro::OpenOrThrow(), 1);
  VantiroProbe_RefuseCloses(1);
  try {
    vantiro::CloseOrThrow();
    FAIL() << "no exception";
  } catch (const vantiro::DriverCloseError& e) {
    EXPECT_STREQ(e.what(), "Failed to close handle to driver.");
  }
  EXPECT_EQ(vantiro::CloseOrThrow(), 44);
}
