# Runs and records of the device link component.
if(PEL_WINDOWS)
  target_sources(pel_devicelink PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/PelmoraRun.cpp
    ${CMAKE_CURRENT_LIST_DIR}/RunSteps.cpp
    ${CMAKE_CURRENT_LIST_DIR}/PelmoraRunRecords.cpp)
  target_link_libraries(pel_devicelink PUBLIC pel_devicelink_records PRIVATE pel_devicelink_setup)
endif()
