# The real server killed in the middle of a burst of edits, and restarted.
find_package(Qt6 6.4 REQUIRED COMPONENTS Network Sql)
verdantis_add_test(tst_serverfaults
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_serverfaults.cpp ${CMAKE_CURRENT_LIST_DIR}/soakkit.h
  LIBS verdantis_core Qt6::Network Qt6::Sql LABELS slow)
target_compile_definitions(tst_serverfaults PRIVATE VERDANTIS_SERVER="$<TARGET_FILE:verdantis-server>")
add_dependencies(tst_serverfaults verdantis-server)
set_tests_properties(tst_serverfaults PROPERTIES TIMEOUT 600)
verdantis_add_postgres_run(tst_serverfaults WHOLE_SERVER)
