verdantis_add_test(tst_treelayout SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_treelayout.cpp LIBS verdantis_core)
