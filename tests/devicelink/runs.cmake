# Runs and records of the device link: over in-process fakes, and end to end
# against the simulated interface over TCP 4000 and the COM pair 7<->8. A
# component reads the settings key when it is built and at every start (the
# sensor classes), so each of them takes its lock.
pel_test(devicelink_run_tests
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/PelmoraRunTest.cpp
  LIBS pel_devicelink
  LOCKS registry_vb_settings)
pel_test(devicelink_run_sim_tcp_tests
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/RunSimTcpTest.cpp
  LIBS pel_devicelink pel_sim_interface
  LOCKS tcp4000 registry_vb_settings)
pel_test(devicelink_run_sim_com_tests
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/RunSimComTest.cpp
  LIBS pel_devicelink pel_sim_interface
  FIXTURES compair_7_8 LOCKS compair_7_8 registry_vb_settings serialcomm SERIAL)
pel_test(devicelink_run_sequence_sim_com_tests
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/RunSequenceSimComTest.cpp
  LIBS pel_devicelink pel_sim_interface
  FIXTURES compair_7_8 LOCKS compair_7_8 registry_vb_settings serialcomm SERIAL)
# A host that lets go of the component inside an event of a run: linked with
# the quarantine heap and run once more under Wine's heap checking.
pel_test(devicelink_lifetime_sim_tcp_tests HEAP_CHECK
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/LifetimeSimTcpTest.cpp
    ${PROJECT_SOURCE_DIR}/tests/support/QuarantineHeap.cpp
  LIBS pel_devicelink pel_sim_interface
  LOCKS tcp4000 registry_vb_settings)
pel_test(devicelink_lifetime_sim_com_tests HEAP_CHECK
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/LifetimeSimComTest.cpp
    ${PROJECT_SOURCE_DIR}/tests/support/QuarantineHeap.cpp
  LIBS pel_devicelink pel_sim_interface
  FIXTURES compair_7_8 LOCKS compair_7_8 registry_vb_settings serialcomm SERIAL)
