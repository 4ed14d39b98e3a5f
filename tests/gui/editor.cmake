# Tree windows: node shapes, documents and views, commands, export, the
# editor in a main window, and "render" on the command line.
foreach(subject kelnodeshape treewindows viewcommands viewinput treeexport editorinstall editundo edithistory)
  verdantis_add_test(tst_${subject} SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_${subject}.cpp LIBS verdantis_gui)
endforeach()
verdantis_add_test(tst_clirender SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_clirender.cpp LIBS verdantis_gui)
add_dependencies(tst_clirender verdantis-cli)
