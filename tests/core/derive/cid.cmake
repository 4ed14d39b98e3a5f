verdantis_add_test(tst_cid
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_cid.cpp ${VERDANTIS_TESTS_DIR}/common/treesketch.h
  LIBS verdantis_core)
