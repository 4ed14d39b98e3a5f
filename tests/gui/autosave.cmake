verdantis_add_test(tst_autosave SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_autosave.cpp LIBS verdantis_gui)
