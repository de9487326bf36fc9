# The USB sensor side of the device link over simulated sensors.
pel_test(devicelink_usb_side_tests PORTABLE
  SOURCES
    usb/UsbTextTest.cpp
    usb/UsbSensorSideTest.cpp
  LIBS pel_devicelink_usb)
# The component with USB sensors over in-process fakes; it writes the slot list
# and reads the language under the settings keys. Its polling-thread lifetime
# cases need the quarantine heap and Wine's heap checking.
pel_test(devicelink_usbsens_tests HEAP_CHECK
  SOURCES
    UsbSensorsTest.cpp
    ${PROJECT_SOURCE_DIR}/tests/support/QuarantineHeap.cpp
  LIBS pel_devicelink
  LOCKS registry_vb_settings)
# The component over the shipped USB paths with simulated sensors: built into
# bin/usbsim, beside the Vantiro.dll whose driver is simulated.
pel_test(devicelink_usb_sim_tests
  SOURCES usbsim/UsbSimTest.cpp
  LIBS pel_devicelink
  LOCKS registry_vb_settings
  TIMEOUT 300)
if(PEL_WINDOWS)
  set_target_properties(devicelink_usb_sim_tests PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${PEL_USBSIM_DIR})
  add_dependencies(devicelink_usb_sim_tests VantiroSim)
endif()
