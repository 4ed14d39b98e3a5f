verdantis_add_test(tst_cbt
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_cbt.cpp ${CMAKE_CURRENT_LIST_DIR}/treesketch.h
  LIBS verdantis_core)
