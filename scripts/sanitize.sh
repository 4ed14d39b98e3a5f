#!/usr/bin/env bash
# Builds the core, the CLI, the server and the stand-in tools with their
# tests under AddressSanitizer and UndefinedBehaviorSanitizer (no desktop
# program, no benchmarks) and runs the tests; any sanitizer report fails.
# Usage: scripts/sanitize.sh [ctest arguments]
# VERDANTIS_ASAN_BUILD names the build folder (default build-asan).
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/setup-deps.sh
build="${VERDANTIS_ASAN_BUILD:-build-asan}"
jobs="${VERDANTIS_JOBS:-$(nproc)}"
if [ ! -f "$build/build.ninja" ]; then
  # -O1 with line tables only: half the compile time of -O2 -g, and the
  # sanitizer reports still name file and line
  cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O1 -g1" \
    -DVERDANTIS_WERROR=ON \
    -DVERDANTIS_SANITIZE=ON -DVERDANTIS_GUI=OFF -DVERDANTIS_BUILD_BENCH=OFF
fi
cmake --build "$build" -j "$jobs"

# Qt's own one-time allocations (plugin and codec registries, thread data)
# are kept for the life of the process; only our leaks should fail a test.
export LSAN_OPTIONS="suppressions=$PWD/scripts/lsan.supp:print_suppressions=0"
export ASAN_OPTIONS="halt_on_error=1:abort_on_error=1:detect_leaks=1:strict_string_checks=1:detect_stack_use_after_return=1:check_initialization_order=1"
export UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1"
export QT_QPA_PLATFORM=offscreen
# Instrumented code runs some three times slower, so where a test's size
# only buys time the normal run has already spent, this run takes less: the
# deep trees are shallower (the normal run proves the depth), the Spin
# cross-check compares fewer trees (its time goes to Spin and the compiler),
# and the PostgreSQL reruns through the whole server are left out (the
# SQLite runs cover the server's code, tst_solutionstore_pg the store's).
export VERDANTIS_DEEP_NODES="${VERDANTIS_DEEP_NODES:-5000}"
export VERDANTIS_SPIN_TREES="${VERDANTIS_SPIN_TREES:-10}"
ctest --test-dir "$build" --output-on-failure -j "$jobs" --timeout 900 -LE store-rerun "$@"
