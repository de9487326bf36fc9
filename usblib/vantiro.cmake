# Vantiro.dll: the USB transfer library.
#  vantiro_portable  descriptor parsing, packed records, the fit, the driver
#                    classes and the device table over the driver seam (no
#                    windows.h; also built natively under sanitizers)
#  vantiro_static    the exports and the Win32 driver seam; the library's own
#                    tests link it and may put the simulated driver behind it
#  Vantiro           the DLL, made of vantiro_static, exporting exactly the
#                    names in Vantiro.def (plus import library libVantiro.dll.a)
set(_vantiro ${CMAKE_CURRENT_LIST_DIR})
pel_portable_library(vantiro_portable
  SOURCES ${_vantiro}/UsbRecords.cpp ${_vantiro}/UsbDescriptors.cpp ${_vantiro}/LeastSquares.cpp
          ${_vantiro}/DriverIo.cpp ${_vantiro}/UsbEndpoint.cpp ${_vantiro}/UsbDevice.cpp
          ${_vantiro}/UsbLibrary.cpp)

pel_windows_library(vantiro_static
  SOURCES ${_vantiro}/VantiroExports.cpp ${_vantiro}/Win32DriverApi.cpp
  LIBS vantiro_portable setupapi)

if(PEL_WINDOWS)
  add_library(Vantiro SHARED ${_vantiro}/Vantiro.def)
  target_link_libraries(Vantiro PRIVATE "$<LINK_LIBRARY:WHOLE_ARCHIVE,vantiro_static>" vantiro_portable setupapi)
  set_target_properties(Vantiro PROPERTIES PREFIX "" OUTPUT_NAME Vantiro
    IMPORT_PREFIX "lib" IMPORT_SUFFIX ".dll.a" LINKER_LANGUAGE CXX)
  target_include_directories(Vantiro INTERFACE ${PROJECT_SOURCE_DIR})
endif()

# For a program or DLL that imports Vantiro.dll: links the import library and
# copies the DLL next to the target after each build, so the target (and its
# test under Wine) finds it without any PATH setting.
function(pel_use_vantiro target)
  if(NOT PEL_WINDOWS)
    return()
  endif()
  target_link_libraries(${target} PRIVATE Vantiro)
  add_custom_command(TARGET ${target} POST_BUILD
    COMMAND ${CMAKE_COMMAND} -E copy_if_different $<TARGET_FILE:Vantiro> $<TARGET_FILE_DIR:${target}>
    VERBATIM)
endfunction()
