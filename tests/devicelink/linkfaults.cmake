# A misbehaving interface: ports that go missing, connections that are lost,
# late and empty block replies. Over fakes, and against the simulated
# interface over TCP 4000 and over the COM pair 25<->26.
pel_test(devicelink_link_fault_tests
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/LinkFaultsTest.cpp
  LIBS pel_devicelink
  LOCKS registry_vb_settings)
pel_com_pair(25 26)   # block faults and a port missing for a moment
pel_test(devicelink_block_fault_sim_com_tests
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/BlockFaultsSimComTest.cpp
  LIBS pel_devicelink pel_sim_interface
  FIXTURES compair_25_26 LOCKS compair_25_26 registry_vb_settings serialcomm
  TIMEOUT 300)
pel_test(devicelink_link_loss_sim_tcp_tests
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/LinkLossSimTest.cpp
  LIBS pel_devicelink pel_sim_interface
  LOCKS tcp4000 registry_vb_settings)
