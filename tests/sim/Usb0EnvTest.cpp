// The stand-in libusb0.dll takes its number of sensors from the environment
// when no test control set it (ctest sets PELMORA_USB0_DEVICES=3 here).
#include "platform/libusb0.h"

#include <gtest/gtest.h>

namespace {

TEST(Usb0Environment, SensorCountComesFromTheEnvironmentAtInit) {
  usb_find_busses();
  usb_find_devices();
  int before = 0;
  for (usb_device* d = usb_get_busses()->devices; d; d = d->next) ++before;
  EXPECT_EQ(before, 0);  // not read before usb_init
  usb_init();
  EXPECT_EQ(usb_find_devices(), 3);
  int n = 0;
  for (usb_device* d = usb_get_busses()->devices; d; d = d->next) {
    EXPECT_EQ(d->descriptor.idVendor, 0x0547);
    EXPECT_EQ(d->descriptor.idProduct, 0x1003);
    ++n;
  }
  EXPECT_EQ(n, 3);
}

}  // namespace
