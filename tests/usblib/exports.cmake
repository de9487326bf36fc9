# The DLL exports the eleven names undecorated (no @N on 32-bit) and nothing else.
if(PEL_WINDOWS)
  add_test(NAME usblib_export_names
    COMMAND ${CMAKE_COMMAND} -DOBJDUMP=${CMAKE_OBJDUMP} -DDLL=$<TARGET_FILE:Vantiro>
            -P ${CMAKE_CURRENT_LIST_DIR}/scripts/CheckExports.cmake)
endif()
