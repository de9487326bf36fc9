# PESGraph, the graph control.
#  pel_graph_portable  the plotting-method translation (no windows.h)
#  pel_graph           the control window over the engine functions; links the
#                      import library of PEGRP32D.DLL (graphengine)
set(_graph ${CMAKE_CURRENT_LIST_DIR})
pel_portable_library(pel_graph_portable SOURCES ${_graph}/PlottingMethod.cpp)
pel_windows_library(pel_graph
  SOURCES ${_graph}/PESGraph.cpp ${_graph}/PESGraphPaint.cpp ${_graph}/PESGraphInput.cpp
          ${_graph}/PESGraphFramework.cpp ${_graph}/EngineImports.cpp
  LIBS pel_graph_portable PEGRP32D user32 gdi32 comctl32)
