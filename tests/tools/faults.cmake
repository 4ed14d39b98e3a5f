# Fault injection: processes killed in the middle of their work.
# scripts/faults.sh runs the same tests with many more kills.

# saves a large solution in a loop until it is killed
add_executable(savekiller ${CMAKE_CURRENT_LIST_DIR}/savekiller.cpp ${CMAKE_CURRENT_LIST_DIR}/deeptrees.h)
target_link_libraries(savekiller PRIVATE verdantis_core verdantis_warnings)

verdantis_add_test(tst_savefaults SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_savefaults.cpp LABELS slow)
target_link_libraries(tst_savefaults PRIVATE Qt6::Core)
target_compile_definitions(tst_savefaults PRIVATE SAVEKILLER="$<TARGET_FILE:savekiller>")
add_dependencies(tst_savefaults savekiller)
set_tests_properties(tst_savefaults PROPERTIES TIMEOUT 600)

# the desktop program killed while it edits, then started again
if(TARGET verdantis_gui)
  verdantis_add_test(tst_guifaults SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_guifaults.cpp ${CMAKE_CURRENT_LIST_DIR}/deeptrees.h
    LIBS verdantis_gui LABELS slow)
  target_include_directories(tst_guifaults PRIVATE ${VERDANTIS_TESTS_DIR}/gui)
  set_tests_properties(tst_guifaults PROPERTIES TIMEOUT 600)
endif()
