# PEGRP32D.DLL, our graph engine (platform/graphengine): settings and data by
# property id, a line graph drawn with GDI.
#  pel_graphengine_store  the settings store (no windows.h)
#  PEGRP32D               the DLL with its import library
set(_ge ${CMAKE_CURRENT_LIST_DIR}/graphengine)
pel_portable_library(pel_graphengine_store SOURCES ${_ge}/GraphStore.cpp)
if(PEL_WINDOWS)
  add_library(PEGRP32D SHARED ${_ge}/EngineExports.cpp ${_ge}/GraphRender.cpp)
  target_include_directories(PEGRP32D PUBLIC ${PROJECT_SOURCE_DIR})
  target_link_libraries(PEGRP32D PRIVATE pel_graphengine_store user32 gdi32)
  set_target_properties(PEGRP32D PROPERTIES PREFIX "" OUTPUT_NAME PEGRP32D
    IMPORT_PREFIX "lib" IMPORT_SUFFIX ".dll.a")
  pel_warnings(PEGRP32D)
endif()
