# PelmoraX: the registration table everywhere; the COM server, the control
# and script hosts under Wine. Tests that register the library take the
# pelmorax_registration lock; those that create a control also the settings
# key lock (the device link reads its language there).
pel_test(activex_registration_table_tests PORTABLE
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/RegistrationTableTest.cpp
  LIBS pel_activex_registration)

if(PEL_WINDOWS)
  add_library(pel_activex_client STATIC ${CMAKE_CURRENT_LIST_DIR}/ComClient.cpp)
  target_include_directories(pel_activex_client PUBLIC ${PROJECT_SOURCE_DIR})
  target_link_libraries(pel_activex_client PUBLIC pel_pelmorax_ids ole32 oleaut32 uuid user32)
  pel_warnings(pel_activex_client)

  pel_test(activex_server_tests
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/PelmoraXServerTest.cpp
    LIBS pel_activex_client
    LOCKS pelmorax_registration)
  pel_test(activex_control_tests
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/PelmoraXControlTest.cpp
    LIBS pel_activex_client
    LOCKS pelmorax_registration registry_vb_settings)
  foreach(t activex_server_tests activex_control_tests)
    add_dependencies(${t} PelmoraX)
  endforeach()
endif()

if(PEL_WINDOWS)
  pel_test(activex_sim_tcp_tests
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/PelmoraXSimTcpTest.cpp
    LIBS pel_activex_client pel_sim_interface pel_platform_win
    LOCKS tcp4000 pelmorax_registration registry_vb_settings)
  add_dependencies(activex_sim_tcp_tests PelmoraX)
endif()

if(PEL_WINDOWS)
  pel_test(activex_script_tests
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/PelmoraXScriptTest.cpp
    LIBS pel_activex_client pel_sim_interface
    LOCKS tcp4000 pelmorax_registration registry_vb_settings
    TIMEOUT 180)
  add_dependencies(activex_script_tests PelmoraX)
  # The script sits beside the test program.
  add_custom_command(TARGET activex_script_tests POST_BUILD
    COMMAND ${CMAKE_COMMAND} -E copy_if_different ${CMAKE_CURRENT_LIST_DIR}/PelmoraXScript.vbs
            $<TARGET_FILE_DIR:activex_script_tests>
    VERBATIM)
endif()

if(PEL_WINDOWS)
  # A container that releases the control inside an event: also run under
  # Wine's heap checking (the control's own heap is not the test's).
  pel_test(activex_lifetime_tests HEAP_CHECK
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/PelmoraXLifetimeTest.cpp
    LIBS pel_activex_client pel_sim_interface pel_platform_win
    LOCKS tcp4000 pelmorax_registration registry_vb_settings)
  add_dependencies(activex_lifetime_tests PelmoraX)
endif()

if(PEL_WINDOWS)
  # A container that reconnects inside the error event once its COM port
  # vanished: 55<->56 is taken down by the test, 57<->58 nobody answers on.
  pel_com_pair(55 56)
  pel_com_pair(57 58)
  pel_test(activex_reconnect_tests HEAP_CHECK
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/PelmoraXReconnectTest.cpp
    LIBS pel_activex_client pel_sim_interface pel_platform_win
    FIXTURES compair_55_56 compair_57_58
    LOCKS compair_55_56 compair_57_58 pelmorax_registration registry_vb_settings serialcomm)
  add_dependencies(activex_reconnect_tests PelmoraX)
  target_compile_definitions(activex_reconnect_tests PRIVATE
    PEL_COMPAIR_SCRIPT="${PROJECT_SOURCE_DIR}/scripts/compair.sh")
endif()
