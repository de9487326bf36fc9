# Sensors and identification on the component: the registry texts, classes
# and AutoSensorID over the link. Deferred, as pel_devicelink is defined by a
# fragment included after this one.
function(_pel_wire_ident)
  if(TARGET pel_devicelink)
    target_sources(pel_devicelink PRIVATE ${PROJECT_SOURCE_DIR}/devicelink/PelmoraSensors.cpp)
    target_link_libraries(pel_devicelink PUBLIC pel_devicelink_sensors)
  endif()
endfunction()
cmake_language(DEFER CALL _pel_wire_ident)
