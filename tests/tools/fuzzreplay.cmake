# Every fuzz target's entry, compiled without libFuzzer, runs each input
# under fuzz/regressions/<target>/ so that fixed crashers stay fixed.
set(VERDANTIS_FUZZ_DIR ${PROJECT_SOURCE_DIR}/fuzz)
verdantis_add_test(fuzz_replay
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_fuzzreplay.cpp
          ${VERDANTIS_FUZZ_DIR}/fuzzsupport.cpp
          ${VERDANTIS_FUZZ_DIR}/fuzz_records.cpp
          ${VERDANTIS_FUZZ_DIR}/fuzz_solution.cpp
          ${VERDANTIS_FUZZ_DIR}/fuzz_packets.cpp
          ${VERDANTIS_FUZZ_DIR}/fuzz_apply.cpp
          ${VERDANTIS_FUZZ_DIR}/fuzz_translate.cpp
          ${VERDANTIS_FUZZ_DIR}/fuzz_reqimport.cpp
  LIBS verdantis_core)
target_include_directories(fuzz_replay PRIVATE ${VERDANTIS_FUZZ_DIR})
target_compile_definitions(fuzz_replay PRIVATE VERDANTIS_FUZZ_REPLAY
  VERDANTIS_FUZZ_REGRESSIONS="${VERDANTIS_FUZZ_DIR}/regressions"
  VERDANTIS_FUZZ_BASE_SOLUTION="${PROJECT_SOURCE_DIR}/examples/microwave.kvf")
