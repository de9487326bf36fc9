# Tests of the high-speed program and its simulated interface.
pel_test(quillon_portable_tests PORTABLE
  SOURCES ReceiveRingTest.cpp PortNameTest.cpp ModelTest.cpp
  LIBS quillon_portable quillon_sim_core)

if(PEL_WINDOWS)
  pel_test(quillon_serial_port_test
    SOURCES SerialPortTest.cpp
    LIBS quillon_windows quillon_sim_port
    FIXTURES compair_11_12 LOCKS compair_11_12)
  pel_test(quillon_registry_text_test
    SOURCES RegistryTextTest.cpp
    LIBS quillon_windows)
  pel_test(quillon_start_test
    SOURCES StartTest.cpp ProgramDriver.cpp
    LIBS pel_window_driver user32 advapi32
    LOCKS quillon_program serialcomm
    TIMEOUT 90)
  target_compile_definitions(quillon_start_test PRIVATE QUILLON_EXE="$<TARGET_FILE:Quillon>")
  add_dependencies(quillon_start_test Quillon)
endif()

if(PEL_WINDOWS)
  pel_test(quillon_end_to_end_test
    SOURCES EndToEndTest.cpp ProgramDriver.cpp
    LIBS pel_window_driver quillon_sim_port user32 advapi32 comctl32
    FIXTURES compair_11_12 LOCKS compair_11_12 quillon_program serialcomm
    TIMEOUT 120)
  target_compile_definitions(quillon_end_to_end_test PRIVATE QUILLON_EXE="$<TARGET_FILE:Quillon>")
  add_dependencies(quillon_end_to_end_test Quillon)
endif()

if(PEL_WINDOWS)
  pel_test(quillon_port_probe_test
    SOURCES ProbeTest.cpp ProgramDriver.cpp
    LIBS pel_window_driver quillon_sim_port user32 advapi32
    FIXTURES compair_3_4 LOCKS compair_3_4 quillon_program serialcomm
    TIMEOUT 90)
  target_compile_definitions(quillon_port_probe_test PRIVATE QUILLON_EXE="$<TARGET_FILE:Quillon>")
  add_dependencies(quillon_port_probe_test Quillon)
endif()
