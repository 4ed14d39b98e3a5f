verdantis_add_test(tst_cin
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_cin.cpp ${CMAKE_CURRENT_LIST_DIR}/cinsketch.h
  LIBS verdantis_core)
add_dependencies(tst_cin verdantis-cli)
