# The published channel and acquisition properties of TPelmora: the set-up
# rules wired into the component, sensor tables from the registry.
if(PEL_WINDOWS)
  target_sources(pel_devicelink PRIVATE ${CMAKE_CURRENT_LIST_DIR}/PelmoraProperties.cpp)
  target_link_libraries(pel_devicelink PUBLIC pel_devicelink_setup pel_devicelink_sensors_catalog
                                              pel_devicelink_sensors)
endif()
