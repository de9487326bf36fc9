# High-speed captures, memory banks and scope mode of the device link: the
# shared block read (every tree), the component over the fakes, and
# downloads and scope reads against the simulated interface over the COM
# pair 21<->22 (its end listed in the system's port list, hence serialcomm).
pel_test(devicelink_block_transfer_tests PORTABLE
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/records/BlockTransferTest.cpp
  LIBS pel_devicelink_records)
pel_test(devicelink_highspeed_tests
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/HighSpeedTest.cpp
  LIBS pel_devicelink
  LOCKS registry_vb_settings)
pel_com_pair(21 22)   # memory downloads and scope reads
pel_test(devicelink_highspeed_sim_com_tests
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/HighSpeedSimComTest.cpp
  LIBS pel_devicelink pel_sim_interface
  FIXTURES compair_21_22 LOCKS compair_21_22 registry_vb_settings serialcomm
  TIMEOUT 300)
