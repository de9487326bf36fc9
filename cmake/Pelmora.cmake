# Build rules shared by every module.
#
# Two kinds of trees are configured from the same sources:
#  - Windows trees (MinGW-w64, 64- and 32-bit): everything, tests run under Wine;
#  - the native tree (host g++ with ASan and UBSan): only the code that needs
#    no Windows API, declared with pel_portable_library / pel_test(PORTABLE).

if(WIN32)
  set(PEL_WINDOWS ON)
  add_compile_definitions(WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0601 WINVER=0x0601)
  # Binaries need only system DLLs.
  set(CMAKE_EXE_LINKER_FLAGS "${CMAKE_EXE_LINKER_FLAGS} -static -static-libgcc -static-libstdc++")
  set(CMAKE_SHARED_LINKER_FLAGS "${CMAKE_SHARED_LINKER_FLAGS} -static -static-libgcc -static-libstdc++")
  set(CMAKE_MODULE_LINKER_FLAGS "${CMAKE_MODULE_LINKER_FLAGS} -static -static-libgcc -static-libstdc++")
else()
  set(PEL_WINDOWS OFF)
  # The bench tree (PEL_BENCH) measures the code as it ships: no sanitizers.
  if(NOT PEL_BENCH)
    # float-cast-overflow is not part of GCC's "undefined": a peer's number
    # cast to an integer without a range check must fail a test.
    set(PEL_SAN_FLAGS -fsanitize=address,undefined,float-cast-overflow -fno-sanitize-recover=all
                      -fno-omit-frame-pointer)
    add_compile_options(${PEL_SAN_FLAGS})
    add_link_options(${PEL_SAN_FLAGS})
  endif()
endif()

# Every program and DLL of a tree lands in one folder, so each program finds
# the DLLs it loads (libusb0.dll, Vantiro.dll, ...) beside it.
set(CMAKE_RUNTIME_OUTPUT_DIRECTORY ${PROJECT_BINARY_DIR}/bin)

if(NOT CMAKE_BUILD_TYPE)
  set(CMAKE_BUILD_TYPE RelWithDebInfo)
endif()

# Warnings for our own targets only (GoogleTest keeps its own settings).
function(pel_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra)
endfunction()

# A static library of code free of windows.h, built in every tree.
function(pel_portable_library name)
  cmake_parse_arguments(A "" "" "SOURCES;LIBS" ${ARGN})
  add_library(${name} STATIC ${A_SOURCES})
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR})
  if(A_LIBS)
    target_link_libraries(${name} PUBLIC ${A_LIBS})
  endif()
  pel_warnings(${name})
endfunction()

# A static library that needs Windows; configured only in the Windows trees.
function(pel_windows_library name)
  if(PEL_WINDOWS)
    pel_portable_library(${name} ${ARGN})
  endif()
endfunction()

# One test program = one CTest test (each program costs a Wine process).
#   PORTABLE      built and run in every tree (native tree under sanitizers)
#   LOCKS r...    CTest RESOURCE_LOCKs (TCP port 4000, COM ports, the clipboard...)
#   FIXTURES f... CTest fixtures the test needs (for example a COM pty pair)
#   NO_GTEST_MAIN the program brings its own main()
#   SERIAL        runs alone: its peer must answer within the link's reply
#                 window (about 300 ms), which a loaded machine can miss
function(pel_test name)
  cmake_parse_arguments(A "PORTABLE;NO_GTEST_MAIN;SERIAL;HEAP_CHECK" "TIMEOUT" "SOURCES;LIBS;LOCKS;FIXTURES" ${ARGN})
  if(NOT A_PORTABLE AND NOT PEL_WINDOWS)
    return()
  endif()
  add_executable(${name} ${A_SOURCES})
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR})
  if(A_NO_GTEST_MAIN)
    target_link_libraries(${name} PRIVATE ${A_LIBS} GTest::gtest GTest::gmock)
  else()
    target_link_libraries(${name} PRIVATE ${A_LIBS} GTest::gtest GTest::gmock GTest::gtest_main)
  endif()
  pel_warnings(${name})
  add_test(NAME ${name} COMMAND ${name})
  if(NOT A_TIMEOUT)
    set(A_TIMEOUT 120)
  endif()
  set_tests_properties(${name} PROPERTIES TIMEOUT ${A_TIMEOUT})
  if(A_LOCKS)
    set_tests_properties(${name} PROPERTIES RESOURCE_LOCK "${A_LOCKS}")
  endif()
  if(A_FIXTURES)
    set_tests_properties(${name} PROPERTIES FIXTURES_REQUIRED "${A_FIXTURES}")
  endif()
  if(A_SERIAL)
    set_tests_properties(${name} PROPERTIES RUN_SERIAL TRUE)
  endif()
  # HEAP_CHECK: the program runs once more under Wine's heap checking, which
  # poisons freed blocks, so a use after free shows there too.
  if(A_HEAP_CHECK AND PEL_WINDOWS)
    add_test(NAME ${name}_heap COMMAND ${name})
    set_tests_properties(${name}_heap PROPERTIES TIMEOUT ${A_TIMEOUT} ENVIRONMENT "WINEDEBUG=warn+heap")
    if(A_LOCKS)
      set_tests_properties(${name}_heap PROPERTIES RESOURCE_LOCK "${A_LOCKS}")
    endif()
    if(A_FIXTURES)
      set_tests_properties(${name}_heap PROPERTIES FIXTURES_REQUIRED "${A_FIXTURES}")
    endif()
    if(A_SERIAL)
      set_tests_properties(${name}_heap PROPERTIES RUN_SERIAL TRUE)
    endif()
  endif()
endfunction()
