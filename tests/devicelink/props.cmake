# The published channel and acquisition properties through the component:
# every property's default and set, the setters' limits per model and the
# mended faults. Writes a sensor tree under the current user's settings key.
pel_test(devicelink_props_tests
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/props/PropertyTableTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/props/PropertySettersTest.cpp
  LIBS pel_devicelink
  LOCKS registry_vb_settings)
