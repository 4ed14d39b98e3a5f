#!/usr/bin/env bash
# The long soak of the collaboration server: many thousands of connections
# that send garbage or half requests and drop while three users edit (the
# test run has a short one). Prints the server's memory as it went.
# Usage: scripts/soak.sh [BUILD_DIR] [CONNECTIONS]   (default: build, 50000)
set -euo pipefail
cd "$(dirname "$0")/.."
build="${1:-build}"
if [ ! -f "$build/build.ninja" ]; then
  echo "soak.sh: no build in $build; run scripts/build.sh first" >&2
  exit 2
fi
cmake --build "$build" --target tst_serversoak
QTEST_FUNCTION_TIMEOUT=${QTEST_FUNCTION_TIMEOUT:-86400000} VERDANTIS_SOAK_CONNECTIONS="${2:-50000}" VERDANTIS_SOAK_PARALLEL="${VERDANTIS_SOAK_PARALLEL:-50}" \
  "$build/tests/tst_serversoak"
