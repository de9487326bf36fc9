pel_test(devicelink_setup_tests PORTABLE
  SOURCES
    setup/AcquisitionSettersTest.cpp
    setup/ChannelAccessorsTest.cpp
    setup/OutputCommandsTest.cpp
    setup/SensorSetupTest.cpp
    setup/CalibrationFitTest.cpp
    setup/CalibrationHandOverTest.cpp
  LIBS pel_devicelink_setup)
