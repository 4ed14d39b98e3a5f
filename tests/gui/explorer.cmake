verdantis_add_test(tst_explorer SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_explorer.cpp LIBS verdantis_gui)
