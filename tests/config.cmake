# The configuration library's suites.
set(config_test_data QUORIX_TEST_DATA="${CMAKE_CURRENT_SOURCE_DIR}/data")

foreach(unit valuetext entryreader commandset profilefile loadsaveprint)
  quorix_add_test(tst_${unit} SOURCES tst_${unit}.cpp LIBS config LABELS config)
  target_compile_definitions(tst_${unit} PRIVATE ${config_test_data})
endforeach()
target_link_libraries(tst_profilefile PRIVATE test-support)  # the file size limit

quorix_add_test(tst_transfer SOURCES tst_transfer.cpp LIBS config test-support LABELS config)
