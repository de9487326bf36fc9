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

# Parser throughput, native tree only and only where Google Benchmark is
# installed; a benchmark, not a test.
if(NOT PEL_WINDOWS)
  find_package(benchmark QUIET)
  if(benchmark_FOUND)
    add_executable(devicelink_records_benchmark records/RecordsBenchmark.cpp)
    target_link_libraries(devicelink_records_benchmark PRIVATE pel_devicelink_records benchmark::benchmark)
    pel_warnings(devicelink_records_benchmark)
  endif()
endif()
