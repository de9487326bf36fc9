# Vantiro.dll: the USB transfer library. The DLL is made of the static
# library vantiro_static (which the library's tests link directly) and
# exports exactly the names in Vantiro.def.
pel_windows_library(vantiro_static
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/VantiroExports.cpp)

if(PEL_WINDOWS)
  add_library(Vantiro SHARED ${CMAKE_CURRENT_LIST_DIR}/Vantiro.def)
  target_link_libraries(Vantiro PRIVATE "$<LINK_LIBRARY:WHOLE_ARCHIVE,vantiro_static>")
  set_target_properties(Vantiro PROPERTIES PREFIX "" OUTPUT_NAME Vantiro
    IMPORT_PREFIX "lib" IMPORT_SUFFIX ".dll.a" LINKER_LANGUAGE CXX)
  target_include_directories(Vantiro INTERFACE ${PROJECT_SOURCE_DIR})
endif()
