pel_test(sim_protocol_tests PORTABLE
  SOURCES SimProtocolTest.cpp SimEngineTest.cpp SimOptionsTest.cpp SimStreamTest.cpp SimMemoryTest.cpp SimScopeTest.cpp
  LIBS pel_sim_core)
pel_test(sim_tcp_tests SOURCES SimTcpTest.cpp SimWireClient.cpp
  LIBS pel_sim_interface LOCKS tcp4000)
pel_test(sim_com_tests SOURCES SimComTest.cpp SimWireClient.cpp
  LIBS pel_sim_interface FIXTURES compair_7_8 LOCKS compair_7_8 serialcomm)
# The console program starts and knows its options (it links statically).
if(PEL_WINDOWS)
  add_test(NAME sim_console_help COMMAND PelmoraSim --help)
  set_tests_properties(sim_console_help PROPERTIES TIMEOUT 60
    PASS_REGULAR_EXPRESSION "--model sorn\\|aster\\|vaxo\\|qor\\|qor03\\|unnamed")
endif()
