# Instrumented builds. VERDANTIS_SANITIZE checks every run of our own code
# for memory errors, leaks and undefined behaviour; the first report ends
# the program, so a test that triggers one fails. VERDANTIS_FUZZ adds the
# coverage that libFuzzer needs on top of the same sanitizers.
set(VERDANTIS_SANITIZER_FLAGS -fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=all)

if(VERDANTIS_SANITIZE AND VERDANTIS_FUZZ)
  message(FATAL_ERROR "VERDANTIS_SANITIZE and VERDANTIS_FUZZ each make their own build; choose one")
endif()

if(VERDANTIS_SANITIZE)
  add_compile_options(${VERDANTIS_SANITIZER_FLAGS})
  add_link_options(${VERDANTIS_SANITIZER_FLAGS})
endif()

if(VERDANTIS_FUZZ)
  if(NOT CMAKE_CXX_COMPILER_ID MATCHES "Clang")
    message(FATAL_ERROR "VERDANTIS_FUZZ needs clang: configure with -DCMAKE_CXX_COMPILER=clang++")
  endif()
  # Everything is instrumented for coverage; only the fuzz targets link the
  # libFuzzer driver (fuzz/CMakeLists.txt).
  add_compile_options(-fsanitize=fuzzer-no-link ${VERDANTIS_SANITIZER_FLAGS})
  add_link_options(${VERDANTIS_SANITIZER_FLAGS})
endif()
