// The stand-in libusb0.dll through its import library, as the device link
// calls it: a bus of simulated devices, open/configure/claim, bulk transfers.
#include "platform/libusb0.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::vector<usb_device*> devicesOf(std::uint16_t vendor, std::uint16_t product) {
  std::vector<usb_device*> found;
  for (usb_bus* bus = usb_get_busses(); bus; bus = bus->next)
    for (usb_device* d = bus->devices; d; d = d->next)
      if (d->descriptor.idVendor == vendor && d->descriptor.idProduct == product)
        found.push_back(d);
  return found;
}

std::vector<usb_device*> sensors() { return devicesOf(0x0547, 0x1003); }

int allDevices() {
  int n = 0;
  for (usb_bus* bus = usb_get_busses(); bus; bus = bus->next)
    for (usb_device* d = bus->devices; d; d = d->next) ++n;
  return n;
}

class Usb0 : public ::testing::Test {
 protected:
  void SetUp() override {
    usb_init();
    usb_set_debug(3);
    usb_find_busses();
  }
  void TearDown() override {
    usbsim_set_devices(0, 0);
    usb_find_devices();
  }
};

TEST_F(Usb0, BusListsTheSetNumberOfSensorsAmongOtherDevices) {
  ASSERT_NE(usb_get_busses(), nullptr);
  struct Case {
    int sensors, others, changes;
  };
  // Changes count against the previous listing.
  for (Case c : {Case{0, 0, 0}, Case{3, 1, 4}, Case{1, 2, 3}, Case{8, 0, 9}, Case{0, 0, 8}}) {
    usbsim_set_devices(c.sensors, c.others);
    EXPECT_EQ(usb_find_devices(), c.changes);
    EXPECT_EQ(static_cast<int>(sensors().size()), c.sensors);
    EXPECT_EQ(allDevices(), c.sensors + c.others);
  }
  // The list only changes when the caller looks again.
  usbsim_set_devices(2, 0);
  EXPECT_EQ(sensors().size(), 0u);
  usb_find_devices();
  EXPECT_EQ(sensors().size(), 2u);
  EXPECT_EQ(sensors()[0]->descriptor.bNumConfigurations, 1);
  EXPECT_EQ(sensors()[0]->bus, usb_get_busses());
}

TEST_F(Usb0, OpenedSensorAnswersItsPacketsAndTimesOutWhenSilent) {
  usbsim_set_devices(2, 0);
  usb_find_devices();
  auto found = sensors();
  ASSERT_EQ(found.size(), 2u);
  usb_dev_handle* h = usb_open(found[1]);
  ASSERT_NE(h, nullptr);
  char packet[] = "\x02" "100300040000072\x03";
  // Transfers need the interface claimed, which needs the configuration.
  EXPECT_LT(usb_bulk_write(h, 0x04, packet, 17, 100), 0);
  EXPECT_LT(usb_claim_interface(h, 0), 0);
  EXPECT_EQ(usb_set_configuration(h, 1), 0);
  EXPECT_EQ(usb_claim_interface(h, 0), 0);
  EXPECT_EQ(usb_bulk_write(h, 0x04, packet, 17, 100), 17);
  EXPECT_EQ(usb_bulk_write(h, 0x04, packet, 17, 100), 17);
  EXPECT_EQ(usb_bulk_write(h, 0x04, packet, 5, 100), 5);  // cut short: refused
  EXPECT_LT(usb_bulk_write(h, 0x83, packet, 17, 100), 0);
  char in[1024];
  // The identifier request is answered once; then there is nothing to read.
  const std::string reply = "\x02" "10030004" "0008" "S" "1000002" "246" "\x03";
  const int n = usb_bulk_read(h, 0x83, in, sizeof in, 1000);
  ASSERT_GT(n, 0);
  EXPECT_EQ(std::string(in, static_cast<std::size_t>(n)), reply);
  EXPECT_EQ(usb_bulk_read(h, 0x83, in, 4, 1000), 4);  // a short read takes what fits
  EXPECT_LT(usb_bulk_read(h, 0x83, in, sizeof in, 1000), 0);
  EXPECT_EQ(std::string(usb_strerror()), "timeout");
  char sensorLog[256];
  EXPECT_EQ(usbsim_sensor_log(1, sensorLog, sizeof sensorLog), 32);
  EXPECT_EQ(std::string(sensorLog), "1003 0004  \n1003 0004  \nrefused\n");
  EXPECT_EQ(usb_release_interface(h, 0), 0);
  EXPECT_EQ(usb_close(h), 0);
}

TEST_F(Usb0, BadHandlesAndDepartedDevicesFailWithoutCrashing) {
  usbsim_set_devices(1, 0);
  usb_find_devices();
  usb_device* d = sensors().at(0);
  usb_dev_handle* h = usb_open(d);
  ASSERT_NE(h, nullptr);
  ASSERT_EQ(usb_set_configuration(h, 1), 0);
  ASSERT_EQ(usb_claim_interface(h, 0), 0);
  // A second handle cannot claim the same interface.
  usb_dev_handle* second = usb_open(d);
  ASSERT_NE(second, nullptr);
  ASSERT_EQ(usb_set_configuration(second, 1), 0);
  EXPECT_LT(usb_claim_interface(second, 0), 0);
  EXPECT_EQ(usb_close(second), 0);

  // The sensor is unplugged: its record stays readable, its handle fails.
  usbsim_set_devices(0, 0);
  usb_find_devices();
  EXPECT_EQ(d->descriptor.idVendor, 0x0547);
  char bytes[4] = {};
  EXPECT_LT(usb_bulk_write(h, 0x04, bytes, 4, 100), 0);
  EXPECT_EQ(std::string(usb_strerror()), "no such device");
  EXPECT_EQ(usb_open(d), nullptr);
  EXPECT_EQ(usb_close(h), 0);

  EXPECT_LT(usb_close(h), 0);  // closed twice
  EXPECT_LT(usb_close(nullptr), 0);
  EXPECT_LT(usb_bulk_read(nullptr, 0x83, bytes, 4, 100), 0);
  EXPECT_EQ(usb_open(nullptr), nullptr);
  EXPECT_EQ(std::string(usb_strerror()), "invalid device");
}

}  // namespace
