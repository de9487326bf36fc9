pel_test(usblib_portable_tests PORTABLE
  SOURCES DescriptorsTest.cpp LeastSquaresTest.cpp UsbDeviceTest.cpp UsbLibraryTest.cpp
  LIBS vantiro_portable sim_usbdriver)
