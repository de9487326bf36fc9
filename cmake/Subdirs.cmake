# Adds every immediate subfolder of the current folder that has a CMakeLists.txt,
# and includes every *.cmake fragment beside the current CMakeLists.txt, so
# separate pieces of one module each keep their own build file.
function(pel_add_subdirs)
  file(GLOB children LIST_DIRECTORIES true RELATIVE ${CMAKE_CURRENT_SOURCE_DIR} ${CMAKE_CURRENT_SOURCE_DIR}/*)
  list(SORT children)
  foreach(child ${children})
    if(IS_DIRECTORY ${CMAKE_CURRENT_SOURCE_DIR}/${child} AND EXISTS ${CMAKE_CURRENT_SOURCE_DIR}/${child}/CMakeLists.txt)
      add_subdirectory(${child})
    endif()
  endforeach()
endfunction()

macro(pel_include_fragments)
  file(GLOB _pel_fragments ${CMAKE_CURRENT_SOURCE_DIR}/*.cmake)
  list(SORT _pel_fragments)
  foreach(_f ${_pel_fragments})
    include(${_f})
  endforeach()
endmacro()
