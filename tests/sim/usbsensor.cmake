# The simulated USB sensor: its packet parser and answers, in every tree.
pel_test(sim_usbsensor_tests PORTABLE
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/UsbSensorSimTest.cpp
  LIBS sim_usbsensor)
