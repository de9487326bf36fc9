# The graph control over a recording engine (calls, forwarding, events), and
# over our engine PEGRP32D.DLL (settings round trip, the picture). Windows are
# shown: run under an X display (xvfb-run -a).
pel_test(graph_portable_tests PORTABLE
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/PlottingMethodTest.cpp ${CMAKE_CURRENT_LIST_DIR}/GraphStoreTest.cpp
  LIBS pel_graph_portable pel_graphengine_store)
pel_test(graph_control_tests
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/RecordingEngine.cpp ${CMAKE_CURRENT_LIST_DIR}/ControlLifecycleTest.cpp
          ${CMAKE_CURRENT_LIST_DIR}/ControlInputTest.cpp ${CMAKE_CURRENT_LIST_DIR}/ControlPropertiesTest.cpp
          ${CMAKE_CURRENT_LIST_DIR}/ControlFrameworkTest.cpp
  LIBS pel_graph comctl32)
pel_test(graph_engine_tests
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/EngineTest.cpp
  LIBS pel_graph)
