# Tessaly.exe end to end against the simulated interface over TCP 4000; it
# writes the studio's settings and uses the clipboard.
if(TARGET Tessaly)
  pel_test(tessaly_end_to_end_test
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/TessalyEndToEndTest.cpp
    LIBS pel_window_driver pel_sim_interface pel_platform_win user32
    LOCKS tcp4000 registry_vb_settings clipboard
    TIMEOUT 300)
  target_compile_definitions(tessaly_end_to_end_test PRIVATE TESSALY_EXE="$<TARGET_FILE:Tessaly>")
  add_dependencies(tessaly_end_to_end_test Tessaly)
endif()
# The graph layout through the graph control onto a recording engine.
if(TARGET pel_graph)
  pel_test(studio_graph_tests
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/StudioGraphTest.cpp ${PROJECT_SOURCE_DIR}/tests/graph/RecordingEngine.cpp
            ${PROJECT_SOURCE_DIR}/studio/PesChart.cpp
    LIBS pel_studio_core pel_graph)
endif()
# Tessaly.exe end to end with simulated USB sensors, run from bin/usbsim
# beside the Vantiro.dll with the simulated driver (TCP 4000 held, so that no
# simulated interface answers the program's search before the sensors).
if(TARGET Tessaly AND TARGET VantiroSim AND TARGET PEGRP32D)
  pel_test(tessaly_usb_end_to_end_test
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/TessalyUsbEndToEndTest.cpp
    LIBS pel_window_driver pel_sim_interface pel_platform_win user32
    LOCKS tcp4000 registry_vb_settings clipboard
    TIMEOUT 300)
  target_compile_definitions(tessaly_usb_end_to_end_test PRIVATE TESSALY_EXE="${PEL_USBSIM_DIR}/Tessaly.exe")
  set_tests_properties(tessaly_usb_end_to_end_test PROPERTIES ENVIRONMENT "GTEST_FILTER=TessalyUsbEndToEnd.*")
  # Copied at every build, so the folder never holds an older Tessaly.exe.
  add_custom_target(usbsim_tessaly ALL
    COMMAND ${CMAKE_COMMAND} -E copy_if_different $<TARGET_FILE:Tessaly> $<TARGET_FILE:PEGRP32D> ${PEL_USBSIM_DIR}
    DEPENDS Tessaly PEGRP32D VERBATIM)
  add_dependencies(tessaly_usb_end_to_end_test usbsim_tessaly VantiroSim)
endif()
