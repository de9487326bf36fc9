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
pel_com_pair(27 28)   # taken down by the test itself
pel_test(devicelink_link_loss_sim_tests
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/LinkLossSimTest.cpp
  LIBS pel_devicelink pel_sim_interface
  FIXTURES compair_27_28 LOCKS tcp4000 compair_27_28 registry_vb_settings serialcomm)
if(TARGET devicelink_link_loss_sim_tests)
  target_compile_definitions(devicelink_link_loss_sim_tests PRIVATE
    PEL_COMPAIR_SCRIPT="${PROJECT_SOURCE_DIR}/scripts/compair.sh")
endif()
# A host that reconnects inside an event: the pair 51<->52 is taken down by
# the test itself, 53<->54 is a listed port nobody answers on.
pel_com_pair(51 52)
pel_com_pair(53 54)
pel_test(devicelink_reconnect_sim_com_tests HEAP_CHECK
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/ReconnectSimComTest.cpp
    ${PROJECT_SOURCE_DIR}/tests/support/QuarantineHeap.cpp
  LIBS pel_devicelink pel_sim_interface
  FIXTURES compair_51_52 compair_53_54 LOCKS compair_51_52 compair_53_54 registry_vb_settings serialcomm)
if(TARGET devicelink_reconnect_sim_com_tests)
  target_compile_definitions(devicelink_reconnect_sim_com_tests PRIVATE
    PEL_COMPAIR_SCRIPT="${PROJECT_SOURCE_DIR}/scripts/compair.sh")
endif()
