# The device link: the text handling that needs no Windows API, and the
# TPelmora component over the platform layers and the USB library.
pel_portable_library(pel_devicelink_text
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/LinkFraming.cpp
    ${CMAKE_CURRENT_LIST_DIR}/LinkModel.cpp
    ${CMAKE_CURRENT_LIST_DIR}/ReceiveState.cpp
    ${CMAKE_CURRENT_LIST_DIR}/records/NumberText.cpp)

pel_windows_library(pel_devicelink
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/LinkProcessState.cpp
    ${CMAKE_CURRENT_LIST_DIR}/WinsockDaemon.cpp
    ${CMAKE_CURRENT_LIST_DIR}/Pelmora.cpp
    ${CMAKE_CURRENT_LIST_DIR}/LinkIO.cpp
    ${CMAKE_CURRENT_LIST_DIR}/PelmoraConnect.cpp
    ${CMAKE_CURRENT_LIST_DIR}/DefaultLinkEnvironment.cpp
  LIBS pel_devicelink_text pel_platform_win Vantiro usb0 gdi32 user32)
