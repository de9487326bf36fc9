# The USB sensor side of the device link over simulated sensors.
pel_test(devicelink_usb_side_tests PORTABLE
  SOURCES
    usb/UsbTextTest.cpp
    usb/UsbSensorSideTest.cpp
  LIBS pel_devicelink_usb)
# The component with USB sensors over in-process fakes; it writes the slot list
# and reads the language under the settings keys.
pel_test(devicelink_usbsens_tests
  SOURCES UsbSensorsTest.cpp
  LIBS pel_devicelink
  LOCKS registry_vb_settings)
