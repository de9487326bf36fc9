# Export of the capture table: file content everywhere, file/dialog/automation under Wine.
pel_test(quillon_export_text_tests PORTABLE
  SOURCES ExportCsvTest.cpp ExportOsVersionTest.cpp ExportRegistryTextsTest.cpp
  LIBS quillon_export_text)
pel_test(quillon_export_windows_tests
  SOURCES ExportFileTest.cpp ExportExcelTest.cpp
  LIBS quillon_export pel_sim_excel
  LOCKS excel_sim)  # the one spreadsheet ProgID and running object: one test at a time
if(PEL_WINDOWS)
  pel_test(quillon_export_end_to_end_test
    SOURCES ExportEndToEndTest.cpp ProgramDriver.cpp
    LIBS pel_window_driver pel_sim_excel quillon_sim_port user32 advapi32 comctl32 ole32
    FIXTURES compair_11_12 LOCKS compair_11_12 quillon_program serialcomm registry_vb_settings excel_sim
    TIMEOUT 180)
  target_compile_definitions(quillon_export_end_to_end_test PRIVATE QUILLON_EXE="$<TARGET_FILE:Quillon>")
  add_dependencies(quillon_export_end_to_end_test Quillon)
endif()
