add_executable(bench_canvas ${CMAKE_CURRENT_LIST_DIR}/canvas.cpp)
target_link_libraries(bench_canvas PRIVATE verdantis_benchcommon verdantis_gui Qt6::Test verdantis_warnings)
