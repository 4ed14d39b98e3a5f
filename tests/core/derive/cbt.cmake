verdantis_add_test(tst_cbt
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_cbt.cpp ${VERDANTIS_TESTS_DIR}/common/treesketch.h
  LIBS verdantis_core)
