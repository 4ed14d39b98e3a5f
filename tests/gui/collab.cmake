# Collaboration in the desktop program: the dialogs and menu entries, and
# two main windows sharing a solution through the real verdantis-server.
find_package(Qt6 6.4 REQUIRED COMPONENTS Network Sql)
verdantis_add_test(tst_collabgui
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_collabgui.cpp ${VERDANTIS_TESTS_DIR}/server/serverprocess.h
  LIBS verdantis_gui Qt6::Network Qt6::Sql)
target_include_directories(tst_collabgui PRIVATE ${VERDANTIS_TESTS_DIR}/server)
target_compile_definitions(tst_collabgui PRIVATE VERDANTIS_SERVER="$<TARGET_FILE:verdantis-server>")
add_dependencies(tst_collabgui verdantis-server)
set_tests_properties(tst_collabgui PROPERTIES TIMEOUT 300)
