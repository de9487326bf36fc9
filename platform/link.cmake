# Our own layers over Win32 for the device link: registry helpers, the host
# loop (message pump, message window, timer, thread hand-over), the serial
# port component and the blocking TCP client.
pel_windows_library(pel_platform_win
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/Registry.cpp
    ${CMAKE_CURRENT_LIST_DIR}/MessageLoop.cpp
    ${CMAKE_CURRENT_LIST_DIR}/Timer.cpp
    ${CMAKE_CURRENT_LIST_DIR}/HandOver.cpp
    ${CMAKE_CURRENT_LIST_DIR}/SerialPort.cpp
    ${CMAKE_CURRENT_LIST_DIR}/TcpClient.cpp
  LIBS ws2_32 advapi32 user32)
