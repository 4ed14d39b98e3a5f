find_package(Qt6 6.4 REQUIRED COMPONENTS Network Sql)
add_executable(bench_collab ${CMAKE_CURRENT_LIST_DIR}/collab.cpp)
target_link_libraries(bench_collab PRIVATE verdantis_benchcommon Qt6::Network Qt6::Sql verdantis_warnings)
# the throwaway PostgreSQL cluster of the server's tests
target_include_directories(bench_collab PRIVATE ${PROJECT_SOURCE_DIR}/tests/common)
target_compile_definitions(bench_collab PRIVATE VERDANTIS_SERVER="$<TARGET_FILE:verdantis-server>")
add_dependencies(bench_collab verdantis-server)
