# Sensor identification and the sensor questions through the component,
# against the simulated interface over TCP with a registry sensor tree.
pel_test(devicelink_ident_tcp_tests
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/IdentSimTcpTest.cpp
  LIBS pel_devicelink pel_sim_interface
  LOCKS tcp4000 registry_vb_settings)
