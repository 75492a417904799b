# Tests of the main window, the Properties and Comparators pages, the About box and the
# message boxes, on real widgets (offscreen) and a simulated device on a pseudo-terminal.
foreach(unit tabform1 tabform2 orvandel gui_messages quorix)
  quorix_add_test(tst_${unit} SOURCES tst_${unit}.cpp LIBS quorix-ui test-support LABELS ui GUI)
endforeach()

# Screenshots of every window and page, for people to look at: once at scale 1, once at 2.
set(shots ${CMAKE_BINARY_DIR}/screenshots)
quorix_add_test(tst_screenshots SOURCES tst_screenshots.cpp
  LIBS quorix-ui test-support LABELS ui GUI)
target_compile_definitions(tst_screenshots PRIVATE QUORIX_SCREENSHOT_DIR="${shots}")
add_test(NAME tst_screenshots_x2 COMMAND tst_screenshots)
set_tests_properties(tst_screenshots_x2 PROPERTIES LABELS "ui"
  ENVIRONMENT "QT_QPA_PLATFORM=offscreen;LC_ALL=C.UTF-8;QT_SCALE_FACTOR=2")
