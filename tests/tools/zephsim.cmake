# the stand-in simulator: its parser and runner directly, and the program
if(TARGET zephsim)
  verdantis_add_test(tst_zephsim SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_zephsim.cpp LIBS zephsim_lib)
  target_compile_definitions(tst_zephsim PRIVATE ZEPHSIM="$<TARGET_FILE:zephsim>")
  add_dependencies(tst_zephsim zephsim)
endif()
