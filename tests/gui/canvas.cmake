# The diagram library on its own.
verdantis_add_test(tst_canvasscene SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_canvasscene.cpp LIBS verdantis_gui)
verdantis_add_test(tst_canvasview SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_canvasview.cpp LIBS verdantis_gui)
verdantis_add_test(tst_colourscheme SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_colourscheme.cpp LIBS verdantis_gui)
