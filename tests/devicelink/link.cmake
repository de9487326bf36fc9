# Tests of the device link core: text handling everywhere, the component
# over in-process fakes and over real threads under Wine. Every component
# reads its language from the current user's settings key at construction,
# which other tests write: those tests take registry_vb_settings.
pel_test(devicelink_text_tests PORTABLE
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/LinkTextTest.cpp
  LIBS pel_devicelink_text)
pel_test(devicelink_link_tests
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/PelmoraLinkTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/TeardownTest.cpp
  LIBS pel_devicelink
  LOCKS registry_vb_settings)
# Against the simulated interface: over TCP 4000 and over the COM pair 7<->8.
pel_test(devicelink_sim_tcp_tests
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/LinkSimTcpTest.cpp
  LIBS pel_devicelink pel_sim_interface
  LOCKS tcp4000 registry_vb_settings)
pel_test(devicelink_sim_com_tests
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/LinkSimComTest.cpp
  LIBS pel_devicelink pel_sim_interface
  FIXTURES compair_7_8 LOCKS compair_7_8 registry_vb_settings serialcomm SERIAL)
pel_test(devicelink_usb_tests
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/LinkUsbStepTest.cpp
  LIBS pel_devicelink
  LOCKS registry_vb_settings)
# A benchmark, run by hand (see its source).
if(PEL_WINDOWS)
  add_executable(devicelink_roundtrip_bench ${CMAKE_CURRENT_LIST_DIR}/LinkRoundTripBench.cpp)
  target_link_libraries(devicelink_roundtrip_bench PRIVATE pel_devicelink pel_sim_interface)
  pel_warnings(devicelink_roundtrip_bench)
endif()
# The component's lifetime: linked with the quarantine heap and run once more
# under Wine's heap checking.
pel_test(devicelink_lifetime_tests HEAP_CHECK
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/LifetimeTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/ReleaseStepsTest.cpp
    ${PROJECT_SOURCE_DIR}/tests/support/QuarantineHeap.cpp
  LIBS pel_devicelink
  LOCKS registry_vb_settings)
