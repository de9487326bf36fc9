// The USB step of connecting, over Vantiro.dll and the stand-in libusb0.dll.
#include <gtest/gtest.h>

#include "devicelink/Pelmora.h"
#include "platform/libusb0.h"

namespace {

TEST(LinkUsbStep, SensorsOnTheBusConnectAsUsbAndOtherDevicesDoNot) {
  usbsim_set_devices(2, 1);
  auto p = TPelmora::Create(nullptr, LinkFlavour::Studio(), TPelmora::DefaultEnvironment());
  std::vector<int> errors;
  p->PelmoraError([&](TPelmora&, int n) { errors.push_back(n); });
  p->AutoDetect(false);
  p->UseOnlyUSBSensor(true);
  ASSERT_EQ(p->InitializeComm(), 0);
  EXPECT_EQ(p->PelmoraType(), "USB");
  EXPECT_EQ(p->ProductNo(), "USB");
  EXPECT_EQ(p->VersionNo(), "2.0");
  EXPECT_TRUE(p->Mode8Port());
  EXPECT_TRUE(p->InterfaceFunction_TimmingMode());
  EXPECT_EQ(p->Max_Record_Count(), 50000);
  // No sensor behind Vantiro here, so the link went to libusb and stays there.
  EXPECT_TRUE(TPelmora::State().useLibUsb);
  EXPECT_EQ(p->CloseComm(), 0);
  EXPECT_EQ(p->PelmoraType(), "none");

  usbsim_set_devices(0, 3);
  EXPECT_EQ(p->InitializeComm(), 1);
  EXPECT_FALSE(p->Mode8Port());
  EXPECT_EQ(errors, std::vector<int>{1});
}

}  // namespace
