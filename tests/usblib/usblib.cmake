pel_test(usblib_portable_tests PORTABLE
  SOURCES DescriptorsTest.cpp LeastSquaresTest.cpp UsbDeviceTest.cpp UsbLibraryTest.cpp
  LIBS vantiro_portable sim_usbdriver sim_usbsensor)

# Benchmark, built but not run as a test.
add_executable(usblib_fit_bench FitBenchmark.cpp)
target_link_libraries(usblib_fit_bench PRIVATE vantiro_portable)
pel_warnings(usblib_fit_bench)
