# The USB sensor side of the component: packets over Vantiro or libusb, the
# slot list, the poll and the USB polling thread.
if(TARGET pel_devicelink)
  target_sources(pel_devicelink PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/PelmoraUsb.cpp
    ${CMAKE_CURRENT_LIST_DIR}/UsbBus.cpp
    ${CMAKE_CURRENT_LIST_DIR}/UsbSlotStore.cpp
    ${CMAKE_CURRENT_LIST_DIR}/UsbWatchThread.cpp)
  target_link_libraries(pel_devicelink PUBLIC pel_devicelink_usb)
endif()
