# The high-speed capture program Quillon.
pel_portable_library(quillon_portable
  SOURCES PortName.cpp ui/NumberText.cpp Dialect.cpp AcquisitionModel.cpp ExportSnapshot.cpp
  LIBS quillon_export_text)

if(PEL_WINDOWS)
  pel_windows_library(quillon_windows
    SOURCES SerialPort.cpp RegistryText.cpp ui/Profile.cpp ui/Dialog.cpp
    LIBS quillon_portable advapi32 user32)

  set(_quillon_res ${CMAKE_CURRENT_BINARY_DIR}/Quillon_res.o)
  add_custom_command(OUTPUT ${_quillon_res}
    COMMAND ${CMAKE_RC_COMPILER} -I ${CMAKE_CURRENT_SOURCE_DIR} -I ${PROJECT_SOURCE_DIR}
            -i ${CMAKE_CURRENT_SOURCE_DIR}/Quillon.rc -o ${_quillon_res}
    DEPENDS Quillon.rc resource.h quillon.ico
    WORKING_DIRECTORY ${CMAKE_CURRENT_SOURCE_DIR}
    VERBATIM)

  add_executable(Quillon WIN32
    main.cpp AcquisitionApp.cpp AcquisitionDlg.cpp AcquisitionExport.cpp ${_quillon_res})
  target_include_directories(Quillon PRIVATE ${PROJECT_SOURCE_DIR})
  target_link_libraries(Quillon PRIVATE quillon_windows quillon_export comctl32 ole32 oleaut32 uuid gdi32 comdlg32)
  pel_warnings(Quillon)
endif()
