verdantis_add_test(tst_cin
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_cin.cpp ${VERDANTIS_TESTS_DIR}/common/treesketch.h
  LIBS verdantis_core)
