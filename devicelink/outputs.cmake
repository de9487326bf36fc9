# Outputs and sensor set-up of the component, over the set-up rules.
if(TARGET pel_devicelink)
  target_sources(pel_devicelink PRIVATE ${CMAKE_CURRENT_LIST_DIR}/PelmoraOutputs.cpp)
  target_link_libraries(pel_devicelink PUBLIC pel_devicelink_setup pel_devicelink_sensors_catalog
                        pel_devicelink_sensors)
endif()
