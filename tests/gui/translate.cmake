# The translation commands in the main window, with the shipped parsers.
verdantis_add_test(tst_translate SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_translate.cpp LIBS verdantis_gui)
target_include_directories(tst_translate PRIVATE ${CMAKE_CURRENT_LIST_DIR}/../core/translate)
add_dependencies(tst_translate verdantis-setparser verdantis-behaviorparser)
