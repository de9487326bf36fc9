# Record texts, stream parsers, conversion and data blocks of the device link.
pel_test(devicelink_records_tests PORTABLE
  SOURCES
    records/NumberTextTest.cpp
    records/ConversionTest.cpp
    records/RecentRecordsTest.cpp
    records/StreamParsersTest.cpp
    records/CurrentValueTest.cpp
    records/DataBlockTest.cpp
    records/BankRecordsTest.cpp
    records/ScopeRecordsTest.cpp
  LIBS pel_devicelink_records)
