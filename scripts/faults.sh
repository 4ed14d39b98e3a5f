#!/usr/bin/env bash
# The long fault-injection and deep-input runs (the test run has short ones):
#   a save killed 1000 times, the desktop program killed 50 times, the server
#   killed 40 times in bursts of edits and saves and 1000 times in bursts of
#   relayed records, every CLI command on trees of
#   100000 nodes (the slow ones too) and the tree windows on them.
# Usage: scripts/faults.sh [BUILD_DIR]   (default: build)
set -euo pipefail
cd "$(dirname "$0")/.."
build="${1:-build}"
if [ ! -f "$build/build.ninja" ]; then
  echo "faults.sh: no build in $build; run scripts/build.sh first" >&2
  exit 2
fi
cmake --build "$build" --target tst_savefaults tst_serverfaults tst_deepcli \
  $(grep -q '^build tst_guifaults:' "$build/build.ninja" && echo tst_guifaults tst_deepinput)
export QT_QPA_PLATFORM=offscreen
# these runs are long on purpose: no per-function watchdog
export QTEST_FUNCTION_TIMEOUT=${QTEST_FUNCTION_TIMEOUT:-86400000}
run() {
  echo "== $*"
  "$@"
}
VERDANTIS_FAULT_KILLS=${VERDANTIS_FAULT_KILLS:-1000} run "$build/tests/tst_savefaults"
VERDANTIS_FAULT_ROUNDS=${VERDANTIS_FAULT_ROUNDS:-40} VERDANTIS_DURABLE_ROUNDS=${VERDANTIS_DURABLE_ROUNDS:-1000} \
  run "$build/tests/tst_serverfaults"
# the same storing in PostgreSQL (a throwaway cluster), fewer rounds: each costs more
VERDANTIS_TEST_STORE=postgresql VERDANTIS_FAULT_ROUNDS=${VERDANTIS_FAULT_ROUNDS:-10} \
  VERDANTIS_DURABLE_ROUNDS=${VERDANTIS_DURABLE_ROUNDS:-200} run "$build/tests/tst_serverfaults"
if [ -x "$build/tests/tst_guifaults" ]; then
  VERDANTIS_FAULT_GUI_KILLS=${VERDANTIS_FAULT_GUI_KILLS:-50} run "$build/tests/tst_guifaults"
  VERDANTIS_DEEP_GUI_NODES=${VERDANTIS_DEEP_GUI_NODES:-100000} run "$build/tests/tst_deepinput"
fi
VERDANTIS_DEEP_NODES=${VERDANTIS_DEEP_NODES:-100000} VERDANTIS_DEEP_SLOW_NODES=${VERDANTIS_DEEP_SLOW_NODES:-100000} VERDANTIS_DEEP_TIMEOUT_S=${VERDANTIS_DEEP_TIMEOUT_S:-900} \
  run "$build/tests/tst_deepcli"
echo "faults.sh: all passed"
