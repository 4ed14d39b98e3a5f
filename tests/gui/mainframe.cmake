verdantis_add_test(tst_mainframe SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_mainframe.cpp LIBS verdantis_gui)
verdantis_add_test(tst_program SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_program.cpp LIBS verdantis_gui)
