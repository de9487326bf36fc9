# Export of the capture table: file content everywhere, file/dialog/automation under Wine.
pel_test(quillon_export_text_tests PORTABLE
  SOURCES ExportCsvTest.cpp ExportOsVersionTest.cpp ExportRegistryTextsTest.cpp
  LIBS pel_quillon_export_text)
pel_test(quillon_export_windows_tests
  SOURCES ExportFileTest.cpp ExportExcelTest.cpp
  LIBS pel_quillon_export pel_sim_excel)
