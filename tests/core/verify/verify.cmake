verdantis_add_test(tst_spinverifier
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_spinverifier.cpp
  LIBS verdantis_core LABELS slow)
# the whole cross-check compiles one verifier per tree
set_tests_properties(tst_spinverifier PROPERTIES TIMEOUT 1500
  ENVIRONMENT "QT_QPA_PLATFORM=offscreen;QTEST_FUNCTION_TIMEOUT=1400000")
verdantis_test_starts_early(tst_spinverifier 1000)
verdantis_add_test(tst_verifycli
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_verifycli.cpp
  LIBS verdantis_core)
add_dependencies(tst_verifycli verdantis-cli)
