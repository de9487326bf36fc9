# Tests of the Win32 layers the device link stands on.
pel_test(platform_win_tests
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/RegistryTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/HostLoopTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/TcpClientTest.cpp
  LIBS pel_platform_win)
pel_test(platform_serial_tests HEAP_CHECK
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/SerialPortTest.cpp
  LIBS pel_platform_win
  FIXTURES compair_5_6 LOCKS compair_5_6 serialcomm)
