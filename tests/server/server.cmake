# The server's framing on its own, and the real verdantis-server program
# with clients in the test process (loopback only).
find_package(Qt6 6.4 REQUIRED COMPONENTS Network Sql)

verdantis_add_test(tst_requestframer SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_requestframer.cpp LIBS verdantis_serverlib)
verdantis_add_test(tst_solutionstore SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_solutionstore.cpp LIBS verdantis_serverlib)
verdantis_add_postgres_run(tst_solutionstore)

foreach(name tst_collabserver tst_collaboration tst_serverattacks)
  verdantis_add_test(${name}
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/${name}.cpp ${CMAKE_CURRENT_LIST_DIR}/serverprocess.h
    LIBS verdantis_core Qt6::Network Qt6::Sql LABELS slow)
  target_compile_definitions(${name} PRIVATE VERDANTIS_SERVER="$<TARGET_FILE:verdantis-server>")
  add_dependencies(${name} verdantis-server)
  set_tests_properties(${name} PROPERTIES TIMEOUT 300)
  verdantis_add_postgres_run(${name} WHOLE_SERVER)
endforeach()
