# The simulation dialog in the main window, run end to end against the
# stand-in simulator; its XML box needs the shipped behavior parser.
if(TARGET zephsim AND UNIX)
  verdantis_add_test(tst_simulationdialog SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_simulationdialog.cpp LIBS verdantis_gui)
  target_compile_definitions(tst_simulationdialog PRIVATE ZEPHSIM="$<TARGET_FILE:zephsim>")
  add_dependencies(tst_simulationdialog zephsim verdantis-behaviorparser)
endif()
