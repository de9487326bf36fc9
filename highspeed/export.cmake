# Export of the capture table: the file content (portable) and the file,
# Save dialog and spreadsheet automation (Windows).
pel_portable_library(pel_quillon_export_text
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/ExportSource.cpp ${CMAKE_CURRENT_LIST_DIR}/ExportNumber.cpp
          ${CMAKE_CURRENT_LIST_DIR}/ExportCsv.cpp ${CMAKE_CURRENT_LIST_DIR}/ExportRegistryTexts.cpp)
pel_windows_library(pel_quillon_export
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/ExportFile.cpp ${CMAKE_CURRENT_LIST_DIR}/ExportDialogUi.cpp
          ${CMAKE_CURRENT_LIST_DIR}/ExportExcel.cpp ${CMAKE_CURRENT_LIST_DIR}/ExportProbe.cpp
          ${CMAKE_CURRENT_LIST_DIR}/ExportDownload.cpp
  LIBS pel_quillon_export_text ole32 oleaut32 uuid comdlg32 advapi32 user32)
