verdantis_add_test(tst_evolution
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_evolution.cpp ${VERDANTIS_TESTS_DIR}/common/treesketch.h
  LIBS verdantis_core)
# the command line for both derivations, on golden files
verdantis_add_test(tst_cbtevtcli SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_cbtevtcli.cpp LIBS verdantis_core)
add_dependencies(tst_cbtevtcli verdantis-cli)
