verdantis_add_test(tst_treecopy SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_treecopy.cpp LIBS verdantis_core)
verdantis_add_test(tst_integration SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_integration.cpp LIBS verdantis_core)
verdantis_add_test(tst_cli_integration SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_cli_integration.cpp LIBS Qt6::Core)
add_dependencies(tst_cli_integration verdantis-cli)
