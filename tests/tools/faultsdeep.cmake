# Trees 100000 nodes deep and wide through the file, drawing and translation
# commands of verdantis-cli;
# scripts/faults.sh runs the slow commands on the large trees too.
add_executable(deepgen ${CMAKE_CURRENT_LIST_DIR}/deepgen.cpp ${CMAKE_CURRENT_LIST_DIR}/deeptrees.h)
target_link_libraries(deepgen PRIVATE verdantis_core verdantis_warnings)

verdantis_add_test(tst_deepcli SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_deepcli.cpp LABELS slow)
target_compile_definitions(tst_deepcli PRIVATE DEEPGEN="$<TARGET_FILE:deepgen>")
add_dependencies(tst_deepcli deepgen verdantis-cli)
set_tests_properties(tst_deepcli PROPERTIES TIMEOUT 900)
verdantis_test_starts_early(tst_deepcli 1000)
