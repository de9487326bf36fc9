# The studio's centred label, looked at in the pixels it paints.
pel_test(studio_label_test
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/CentredLabelTest.cpp ${PROJECT_SOURCE_DIR}/studio/CentredLabel.cpp
  LIBS user32 gdi32)
