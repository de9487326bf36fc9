# Tests of the device link core: text handling everywhere, the component
# over in-process fakes and over real threads under Wine.
pel_test(devicelink_text_tests PORTABLE
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/LinkTextTest.cpp
  LIBS pel_devicelink_text)
pel_test(devicelink_link_tests
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/PelmoraLinkTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/TeardownTest.cpp
  LIBS pel_devicelink)
if(TARGET devicelink_link_tests)
  pel_beside_vantiro(devicelink_link_tests)
endif()
