# The studio's benchmark program, run by scripts/bench.d/studio.sh.
if(TARGET Tessaly AND TARGET pel_graph)
  add_executable(studio_bench ${CMAKE_CURRENT_LIST_DIR}/StudioBench.cpp ${PROJECT_SOURCE_DIR}/studio/PesChart.cpp)
  target_include_directories(studio_bench PRIVATE ${PROJECT_SOURCE_DIR})
  target_link_libraries(studio_bench PRIVATE pel_window_driver pel_studio_core pel_graph pel_sim_interface
                                             pel_platform_win comctl32
                                             user32 gdi32)
  add_dependencies(studio_bench Tessaly)
  pel_warnings(studio_bench)
endif()
