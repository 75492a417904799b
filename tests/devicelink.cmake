# Tests of the device link. The TSan run picks the label devicelink; tests that hand chunks over
# through queued Qt events (invisible to TSan) carry it only in builds without TSan.
string(FIND "${CMAKE_CXX_FLAGS}" "-fsanitize=thread" quorix_tsan_pos)
if(quorix_tsan_pos EQUAL -1)
  set(qt_event_labels devicelink)
else()
  set(qt_event_labels qt-events)
  add_library(tsan-qtest-suppressions OBJECT tsan_qtest_suppressions.cpp)
endif()

function(devicelink_tsan_quiet test)
  if(TARGET tsan-qtest-suppressions)
    target_link_libraries(${test} PRIVATE tsan-qtest-suppressions)
  endif()
endfunction()

quorix_add_test(tst_lineassembler SOURCES tst_lineassembler.cpp LIBS devicelink LABELS devicelink)
quorix_add_test(tst_portsettings SOURCES tst_portsettings.cpp LIBS devicelink LABELS devicelink)
quorix_add_test(tst_comportmap SOURCES tst_comportmap.cpp LIBS devicelink LABELS devicelink)
quorix_add_test(tst_rs232 SOURCES tst_rs232.cpp LIBS devicelink LABELS devicelink)
if(TARGET quorix-sim-core)
  quorix_add_test(tst_quorixcomm SOURCES tst_quorixcomm.cpp LIBS devicelink test-support
                  LABELS ${qt_event_labels})
endif()

foreach(test tst_lineassembler tst_portsettings tst_comportmap tst_rs232)
  devicelink_tsan_quiet(${test})
endforeach()
