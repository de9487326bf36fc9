# Runs and records of the device link: over in-process fakes, and end to end
# against the simulated interface over TCP 4000 and the COM pair 7<->8.
pel_test(devicelink_run_tests
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/PelmoraRunTest.cpp
  LIBS pel_devicelink)
