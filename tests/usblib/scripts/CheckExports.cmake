# Reads the export table of DLL with OBJDUMP and compares it with the names
# the device link imports.
execute_process(COMMAND ${OBJDUMP} -p ${DLL} OUTPUT_VARIABLE dump RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "objdump failed on ${DLL}")
endif()
# The name table runs from its heading to the next empty line.
string(REGEX MATCH "\\[Ordinal/Name Pointer\\] Table[^\n]*\n(([^\n]+\n)*)" _ "${dump}")
set(table "${CMAKE_MATCH_1}")
string(REGEX MATCHALL "\\[ *[0-9]+\\] [^\n]+" rows "${table}")
set(found "")
foreach(row ${rows})
  string(REGEX REPLACE "^\\[ *[0-9]+\\] " "" name "${row}")
  string(STRIP "${name}" name)
  list(APPEND found "${name}")
endforeach()
list(SORT found)
set(expected USB_CheckDevice USB_CheckOpen USB_Close USB_GetXferSize USB_Init USB_Open
    USB_ProductName USB_Read USB_Reset USB_Write USB_lsfit)
list(SORT expected)
if(NOT found STREQUAL expected)
  message(FATAL_ERROR "exports of ${DLL}:\n  ${found}\nexpected:\n  ${expected}")
endif()
message(STATUS "exports ok: ${found}")
