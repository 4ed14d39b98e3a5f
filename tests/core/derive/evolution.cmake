verdantis_add_test(tst_evolution
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_evolution.cpp ${VERDANTIS_TESTS_DIR}/common/treesketch.h
  LIBS verdantis_core)
