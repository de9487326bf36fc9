pel_test(sim_protocol_tests PORTABLE
  SOURCES SimProtocolTest.cpp SimEngineTest.cpp SimOptionsTest.cpp
  LIBS pel_sim_core)
pel_test(sim_tcp_tests SOURCES SimTcpTest.cpp SimWireClient.cpp
  LIBS pel_sim_interface LOCKS tcp4000)
pel_test(sim_com_tests SOURCES SimComTest.cpp SimWireClient.cpp
  LIBS pel_sim_interface FIXTURES compair_7_8 LOCKS compair_7_8)
