# The desktop program's windows on trees 100000 nodes deep and wide.
verdantis_add_test(tst_deepinput SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_deepinput.cpp LIBS verdantis_gui LABELS slow)
target_include_directories(tst_deepinput PRIVATE ${CMAKE_CURRENT_LIST_DIR}/../tools)
set_tests_properties(tst_deepinput PROPERTIES TIMEOUT 900)
