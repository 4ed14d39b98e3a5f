# Translation tests. The shipped parsers run end to end; the UPPAAL reference
# DTD is read from beside the repository when it is there.
set(VERDANTIS_TRANSLATE_TEST_DEFINES
  VERDANTIS_SET_PARSER="$<TARGET_FILE:verdantis-setparser>"
  VERDANTIS_BEHAVIOR_PARSER="$<TARGET_FILE:verdantis-behaviorparser>"
  VERDANTIS_REFS="${PROJECT_SOURCE_DIR}/../shared/refs")

foreach(subject translatefront saltranslation uppaaltranslation settranslation xmlexport translatecli translatechecks)
  verdantis_add_test(tst_${subject}
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_${subject}.cpp ${CMAKE_CURRENT_LIST_DIR}/translatetest.h ${CMAKE_CURRENT_LIST_DIR}/salgrammar.h
            ${CMAKE_CURRENT_LIST_DIR}/declarationcheck.h ${CMAKE_CURRENT_LIST_DIR}/salexplorer.h
    LIBS verdantis_core)
  target_compile_definitions(tst_${subject} PRIVATE ${VERDANTIS_TRANSLATE_TEST_DEFINES})
  add_dependencies(tst_${subject} verdantis-setparser verdantis-behaviorparser)
endforeach()
# only the command-line test runs the program itself
add_dependencies(tst_translatecli verdantis-cli)
