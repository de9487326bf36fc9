// The USB_ exports of the static library the DLL is made of, with the
// simulated driver behind them, and once over the real Win32 seam.
#define VANTIRO_STATIC
#include "usblib/Vantiro.h"

#include <gtest/gtest.h>

#include <string>

#include "sim/usbdriver/SimUsbDriver.h"
#include "usblib/VantiroTestHook.h"

namespace {

class Exports : public ::testing::Test {
 protected:
  void SetUp() override {
    vantiro::UseDriverForTesting(&sim);
    USB_Init(1000);
  }
  void TearDown() override { vantiro::UseDriverForTesting(nullptr); }
  pelsim::SimUsbDriver sim;
};

}  // namespace

TEST_F(Exports, LifecycleAndProductNames) {
  wchar_t name[256] = L"untouched";
  EXPECT_EQ(USB_Close(), 44);
  EXPECT_EQ(USB_ProductName(name, 0), -2);
  pelsim::SimDeviceProfile a, b;
  a.product = u"Temperature";
  b.product = std::u16string(126, u'x');  // the longest a string descriptor holds
  sim.Plug(a);
  sim.Plug(b);
  EXPECT_EQ(USB_Open(), 2);
  EXPECT_EQ(USB_CheckOpen(), 2);
  EXPECT_EQ(USB_ProductName(name, 2), -1);
  EXPECT_STREQ(name, L"untouched");
  EXPECT_EQ(USB_ProductName(name, 0), 2);
  EXPECT_STREQ(name, L"Temperature");
  EXPECT_EQ(USB_ProductName(name, 1), 2);
  EXPECT_EQ(std::wstring(name), std::wstring(126, L'x'));
  const unsigned char packet[4] = {1, 2, 3, 4};
  EXPECT_EQ(USB_Write(packet, 4, 0), 1);
  EXPECT_EQ(USB_GetXferSize(0), 4096);
  EXPECT_EQ(USB_Reset(), 1);
  EXPECT_EQ(USB_Close(), 44);
  EXPECT_EQ(GetLastError(), 0u);
  EXPECT_EQ(USB_Open(), 2);
}

TEST_F(Exports, RefusedCloseComesBackAsLastErrorAndWrapperException) {
  sim.Plug({});
  ASSERT_EQ(vantiro::OpenOrThrow(), 1);
  sim.RefuseCloses(1);
  EXPECT_EQ(USB_Close(), 44);
  EXPECT_EQ(GetLastError(), VANTIRO_ERROR_CLOSE_FAILED);
  sim.RefuseCloses(1);
  try {
    vantiro::OpenOrThrow();
    FAIL() << "no exception";
  } catch (const vantiro::DriverCloseError& e) {
    EXPECT_STREQ(e.what(), "Failed to close handle to driver.");
  }
  sim.RefuseCloses(1);
  EXPECT_THROW(vantiro::CheckDeviceOrThrow(), vantiro::DriverCloseError);
  EXPECT_EQ(vantiro::CheckDeviceOrThrow(), 1);
  EXPECT_EQ(vantiro::CloseOrThrow(), 44);
  EXPECT_EQ(sim.OpenHandles(), 0);
}

TEST_F(Exports, LeastSquaresFitResultCodes) {
  const double x[3] = {0, 1, 2}, y[3] = {1, 3, 5};
  double c[2] = {};
  EXPECT_EQ(USB_lsfit(x, y, 1, 3, c), 0);
  EXPECT_NEAR(c[0], 1.0, 1e-12);
  EXPECT_NEAR(c[1], 2.0, 1e-12);
  const double same[2] = {1, 1}, ys[2] = {1, 2};
  EXPECT_EQ(USB_lsfit(same, ys, 1, 2, c), 2);
  EXPECT_EQ(c[0], 0.0);
  EXPECT_EQ(c[1], 0.0);
}

TEST(ExportsOverWin32, NoDriverInstalledMeansNoDevices) {
  vantiro::UseDriverForTesting(nullptr);
  EXPECT_EQ(USB_Init(1000), 1);
  EXPECT_EQ(USB_Open(), 0);
  EXPECT_EQ(GetLastError(), 0u);
  EXPECT_EQ(USB_CheckOpen(), 0);
  unsigned char buffer[16];
  EXPECT_EQ(USB_Read(buffer, 16, 0), 0);
  EXPECT_EQ(USB_Write(buffer, 16, 0), 0);
  wchar_t name[256];
  EXPECT_EQ(USB_ProductName(name, 0), -1);
  EXPECT_EQ(USB_Close(), 44);
}
