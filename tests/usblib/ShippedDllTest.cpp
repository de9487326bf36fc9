// The shipped Vantiro.dll through its import library, over the real Win32
// driver seam: no driver is installed here, so no device is found.
#include "usblib/Vantiro.h"

#include <gtest/gtest.h>

TEST(ShippedDll, NoDriverNoDevices) {
  EXPECT_EQ(USB_Init(1000), 1);
  EXPECT_EQ(USB_Close(), 44);
  wchar_t name[256];
  EXPECT_EQ(USB_ProductName(name, 0), -2);
  EXPECT_EQ(vantiro::OpenOrThrow(), 0);
  EXPECT_EQ(USB_CheckOpen(), 0);
  EXPECT_EQ(vantiro::CheckDeviceOrThrow(), 0);
  unsigned char buffer[1024];
  EXPECT_EQ(USB_Read(buffer, 1024, 0), 0);
  EXPECT_EQ(USB_Write(buffer, 8, 0), 0);
  EXPECT_EQ(USB_GetXferSize(0), 0);
  EXPECT_EQ(USB_Reset(), 1);
  EXPECT_EQ(vantiro::CloseOrThrow(), 44);
  const double x[3] = {-1, 0, 1}, y[3] = {2, 1, 2};
  double c[3];
  EXPECT_EQ(USB_lsfit(x, y, 2, 3, c), 0);
  EXPECT_NEAR(c[0], 1, 1e-12);
  EXPECT_NEAR(c[1], 0, 1e-12);
  EXPECT_NEAR(c[2], 1, 1e-12);
}
