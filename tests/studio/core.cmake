# The studio's form logic, built and run in every tree.
pel_test(studio_core_tests PORTABLE
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/StudioTextTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/ConfigStringTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/RecordTableTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/StudioModelTest.cpp
  LIBS pel_studio_core)
