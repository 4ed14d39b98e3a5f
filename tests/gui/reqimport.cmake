# The requirements translation assistant and its dialog of tag rules.
verdantis_add_test(tst_reqimportdlg SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_reqimportdlg.cpp LIBS verdantis_gui)
