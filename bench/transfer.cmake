# The configuration transfer against the simulated device at 19200 baud.
if(NOT TARGET benchmark::benchmark)
  find_package(benchmark REQUIRED)
endif()
add_executable(bench_transfer ${CMAKE_CURRENT_LIST_DIR}/bench_transfer.cpp)
target_link_libraries(bench_transfer PRIVATE config test-support benchmark::benchmark)
