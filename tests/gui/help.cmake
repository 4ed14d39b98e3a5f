verdantis_add_test(tst_helpwindows SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_helpwindows.cpp LIBS verdantis_gui)
target_compile_definitions(tst_helpwindows PRIVATE VERDANTIS_GUIDE_DIR="${PROJECT_BINARY_DIR}/guide")
add_dependencies(tst_helpwindows verdantis_packaging)
