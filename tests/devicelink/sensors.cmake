# Sensor texts, tables and identification.
set(_pel_sensors_tests ${CMAKE_CURRENT_LIST_DIR}/sensors)

pel_test(sensor_text_test PORTABLE
  SOURCES ${_pel_sensors_tests}/SensorTextTest.cpp
  LIBS pel_devicelink_sensors_core)

pel_test(sensor_registry_logic_test PORTABLE
  SOURCES ${_pel_sensors_tests}/SensorRegistryTest.cpp
  LIBS pel_devicelink_sensors_core)

pel_test(sensor_identification_test PORTABLE
  SOURCES ${_pel_sensors_tests}/IdentificationTest.cpp
  LIBS pel_devicelink_sensors_core)

# Writes and removes the settings tree under the current user's key: every
# test touching "Software\VB and VBA Program Settings" takes this lock.
if(TARGET pel_devicelink_sensors)
  pel_test(sensor_registry_test
    SOURCES ${_pel_sensors_tests}/SensorRegistryWineTest.cpp
    LIBS pel_devicelink_sensors
    LOCKS registry_vb_settings)
endif()

pel_test(sensor_setup_catalog_test PORTABLE
  SOURCES ${_pel_sensors_tests}/SetupCatalogTest.cpp
  LIBS pel_devicelink_sensors_catalog)
