# COM pty pairs as CTest fixtures. A test that needs pair A<->B declares
#   FIXTURES compair_A_B  LOCKS compair_A_B
# (the lock keeps two tests from sharing the pair under ctest -j).
# Only the Windows trees have them. Tests that write the system's serial-port
# list (HKLM HARDWARE\DEVICEMAP\SERIALCOMM) take LOCKS serialcomm: the
# high-speed program opens the list's last port.
function(pel_com_pair a b)
  if(NOT PEL_WINDOWS)
    return()
  endif()
  set(f compair_${a}_${b})
  add_test(NAME ${f}_start COMMAND ${PROJECT_SOURCE_DIR}/scripts/compair.sh start ${a} ${b})
  add_test(NAME ${f}_stop COMMAND ${PROJECT_SOURCE_DIR}/scripts/compair.sh stop ${a} ${b})
  set_tests_properties(${f}_start PROPERTIES FIXTURES_SETUP ${f} RESOURCE_LOCK ${f})
  set_tests_properties(${f}_stop PROPERTIES FIXTURES_CLEANUP ${f} RESOURCE_LOCK ${f})
endfunction()

# Pairs reserved per module, so modules never fight over a port:
pel_com_pair(5 6)     # platform serial component
pel_com_pair(7 8)     # device link over COM
pel_com_pair(11 12)   # high-speed program (names from COM10 up use \\.\COMn)
pel_com_pair(3 4)     # high-speed program port probe
