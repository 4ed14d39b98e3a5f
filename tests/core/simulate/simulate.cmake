verdantis_add_test(tst_zephtranslator
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_zephtranslator.cpp ${VERDANTIS_TESTS_DIR}/common/treesketch.h
  LIBS verdantis_core)
verdantis_add_test(tst_simulationdisplay
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_simulationdisplay.cpp ${VERDANTIS_TESTS_DIR}/common/treesketch.h
  LIBS verdantis_core)
# the runner end to end, through /bin/sh, against the stand-in simulator
if(TARGET zephsim AND UNIX)
  verdantis_add_test(tst_simulationsession
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_simulationsession.cpp ${VERDANTIS_TESTS_DIR}/common/treesketch.h
    LIBS verdantis_core)
  target_compile_definitions(tst_simulationsession PRIVATE ZEPHSIM="$<TARGET_FILE:zephsim>")
  add_dependencies(tst_simulationsession zephsim)
endif()
verdantis_add_test(tst_builtinsimulator
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_builtinsimulator.cpp ${VERDANTIS_TESTS_DIR}/common/treesketch.h
  LIBS verdantis_core)
