add_executable(bench_verify ${CMAKE_CURRENT_LIST_DIR}/verify.cpp)
target_link_libraries(bench_verify PRIVATE verdantis_benchcommon verdantis_warnings)
target_compile_definitions(bench_verify PRIVATE VERDANTIS_EXAMPLES="${PROJECT_SOURCE_DIR}/examples")
