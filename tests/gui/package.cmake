# Builds the Debian package from this build, unpacks it into a scratch root
# and runs the programs from there. Needs dpkg-deb, cpack and lintian
# (scripts/setup-deps.sh); it packs what the build made, so it runs last.
find_package(Qt6 6.4 REQUIRED COMPONENTS Gui)
verdantis_add_test(tst_package SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_package.cpp LIBS Qt6::Gui LABELS slow package)
target_compile_definitions(tst_package PRIVATE
  VERDANTIS_SOURCE_DIR="${PROJECT_SOURCE_DIR}" VERDANTIS_BUILD_DIR="${PROJECT_BINARY_DIR}")
add_dependencies(tst_package verdantis verdantis-cli verdantis-server verdantis-setparser verdantis-behaviorparser
                 zephsim verdantis_packaging)
set_tests_properties(tst_package PROPERTIES TIMEOUT 900 RUN_SERIAL TRUE)
