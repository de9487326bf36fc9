# High-speed captures, memory banks, scope mode and the 8-port switch.
if(PEL_WINDOWS)
  target_sources(pel_devicelink PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/PelmoraHighSpeed.cpp
    ${CMAKE_CURRENT_LIST_DIR}/PelmoraBlockRead.cpp
    ${CMAKE_CURRENT_LIST_DIR}/PelmoraScope.cpp)
  target_link_libraries(pel_devicelink PUBLIC pel_devicelink_records)
endif()
