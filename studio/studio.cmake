# Tessaly.exe: the studio program over the device link and the graph.
if(PEL_WINDOWS)
  set(_studio ${CMAKE_CURRENT_LIST_DIR})
  add_executable(Tessaly WIN32
    ${_studio}/main.cpp
    ${_studio}/MainForm.cpp
    ${_studio}/LinkAdapter.cpp
    ${_studio}/StudioRegistry.cpp
    ${_studio}/Clipboard.cpp
    ${_studio}/NullChart.cpp)
  target_include_directories(Tessaly PRIVATE ${PROJECT_SOURCE_DIR})
  target_link_libraries(Tessaly PRIVATE pel_studio_core pel_devicelink pel_platform_win comctl32 user32 gdi32)
  pel_warnings(Tessaly)
endif()
