# Start-up time and memory of the tool against a bare Qt window with the same frame:
# bench/startup/run-startup runs both and prints medians.
if(TARGET startup-probe)
  add_executable(bench_startup_bare ${CMAKE_CURRENT_LIST_DIR}/startup/bare_window.cpp)
  target_link_libraries(bench_startup_bare PRIVATE startup-probe Qt6::Widgets)
endif()
