# The stand-in parsers, run as the translators run them: input file in,
# output file out.
foreach(tool setparser behaviorparser)
  verdantis_add_test(tst_${tool}
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_${tool}.cpp ${CMAKE_CURRENT_LIST_DIR}/toolrunner.h
    LIBS Qt6::Core)
  target_compile_definitions(tst_${tool} PRIVATE VERDANTIS_TOOL="$<TARGET_FILE:verdantis-${tool}>")
  add_dependencies(tst_${tool} verdantis-${tool})
endforeach()
