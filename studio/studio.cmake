# Tessaly.exe: the studio program over the device link and the graph.
if(PEL_WINDOWS)
  set(_studio ${CMAKE_CURRENT_LIST_DIR})
  add_executable(Tessaly WIN32
    ${_studio}/main.cpp
    ${_studio}/MainForm.cpp
    ${_studio}/LinkAdapter.cpp
    ${_studio}/StudioRegistry.cpp
    ${_studio}/Clipboard.cpp
    ${_studio}/CentredLabel.cpp)
  target_include_directories(Tessaly PRIVATE ${PROJECT_SOURCE_DIR})
  target_link_libraries(Tessaly PRIVATE pel_studio_core pel_devicelink pel_platform_win comctl32 user32 gdi32)
  # The graph control when this tree has it; else a chart that draws nothing.
  if(TARGET pel_graph)
    target_sources(Tessaly PRIVATE ${_studio}/PesChart.cpp)
    target_link_libraries(Tessaly PRIVATE pel_graph)
  else()
    target_sources(Tessaly PRIVATE ${_studio}/NullChart.cpp)
  endif()
  pel_warnings(Tessaly)
endif()
