# Windows-only tests of the exports and of the DLL boundary.
if(PEL_WINDOWS)
  pel_test(usblib_export_tests
    SOURCES ExportsTest.cpp
    LIBS vantiro_static sim_usbdriver)

  pel_test(usblib_shipped_dll SOURCES ShippedDllTest.cpp)
  pel_use_vantiro(usblib_shipped_dll)

  # VantiroSimProbe.dll: vantiro_static plus the simulated driver, as a DLL.
  add_library(VantiroSimProbe SHARED SimProbeExports.cpp)
  target_link_libraries(VantiroSimProbe PRIVATE "$<LINK_LIBRARY:WHOLE_ARCHIVE,vantiro_static>"
                        vantiro_portable sim_usbdriver setupapi)
  set_target_properties(VantiroSimProbe PROPERTIES PREFIX "")
  pel_warnings(VantiroSimProbe)
  pel_test(usblib_dll_boundary SOURCES DllBoundaryTest.cpp LIBS VantiroSimProbe)

  add_library(usblib_throw_probe SHARED ThrowProbe.cpp)
  target_include_directories(usblib_throw_probe PRIVATE ${PROJECT_SOURCE_DIR})
  set_target_properties(usblib_throw_probe PROPERTIES PREFIX "")
  pel_test(usblib_raw_throw_probe NO_GTEST_MAIN SOURCES RawThrowProbeMain.cpp LIBS usblib_throw_probe)
  if(CMAKE_SIZEOF_VOID_P EQUAL 4)
    # Documents why the exports never throw: here the process ends instead.
    set_tests_properties(usblib_raw_throw_probe PROPERTIES WILL_FAIL TRUE)
  endif()
endif()
