# The simulated interface of the high-speed program: what it takes as a command.
pel_test(sim_quillon_tests PORTABLE
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/QuillonSimTest.cpp
  LIBS quillon_sim_core)
