add_executable(bench_undo ${CMAKE_CURRENT_LIST_DIR}/undo.cpp)
target_link_libraries(bench_undo PRIVATE verdantis_benchcommon verdantis_warnings)
