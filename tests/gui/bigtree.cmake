# A tree window on a large tree: edits cost what they change.
verdantis_add_test(tst_bigtree SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_bigtree.cpp LIBS verdantis_gui)
target_include_directories(tst_bigtree PRIVATE ${CMAKE_CURRENT_LIST_DIR}/../tools)
