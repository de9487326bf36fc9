pel_test(sim_libusb0_tests SOURCES Usb0Test.cpp LIBS usb0)
