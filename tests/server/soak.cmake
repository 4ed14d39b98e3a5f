# The real server under many bad connections while users edit; the long run
# is scripts/soak.sh.
find_package(Qt6 6.4 REQUIRED COMPONENTS Network Sql)
verdantis_add_test(tst_serversoak
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_serversoak.cpp ${CMAKE_CURRENT_LIST_DIR}/soakkit.h
  LIBS verdantis_core Qt6::Network Qt6::Sql LABELS slow)
target_compile_definitions(tst_serversoak PRIVATE VERDANTIS_SERVER="$<TARGET_FILE:verdantis-server>")
add_dependencies(tst_serversoak verdantis-server)
set_tests_properties(tst_serversoak PROPERTIES TIMEOUT 600)
verdantis_add_postgres_run(tst_serversoak WHOLE_SERVER)
