# Outputs and sensor set-up of the component: over the in-process fakes, and
# a demo output against the simulated interface over TCP 4000. A component
# reads the settings key when it is built: each takes its lock.
pel_test(devicelink_outputs_tests
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/PelmoraOutputsTest.cpp
  LIBS pel_devicelink
  LOCKS registry_vb_settings)
pel_test(devicelink_outputs_sim_tcp_tests
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/OutputsSimTcpTest.cpp
  LIBS pel_devicelink pel_sim_interface
  LOCKS tcp4000 registry_vb_settings)
