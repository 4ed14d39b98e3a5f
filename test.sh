#!/usr/bin/env bash
# Installs what Verdantis needs, builds it, and runs every test; then builds
# the core, the command line and the server with the address and undefined
# behaviour sanitizers and runs their tests again (scripts/sanitize.sh), and
# checks that every source file is formatted (scripts/format.sh --check).
# ./test.sh --quick runs only the tests labelled "quick" on the normal build,
# without sanitizers: the loop while editing. Other arguments go to ctest.
set -euo pipefail
cd "$(dirname "$0")"
quick=0
if [ "${1:-}" = --quick ]; then
  quick=1
  shift
fi
./scripts/build.sh
export QT_QPA_PLATFORM=offscreen
if [ $quick = 1 ]; then
  exec ctest --test-dir build --output-on-failure -j "$(nproc)" -L quick "$@"
fi
ctest --test-dir build --output-on-failure -j "$(nproc)" "$@"
if [ "${VERDANTIS_SKIP_SANITIZERS:-0}" != 1 ]; then
  ./scripts/sanitize.sh
fi
# last, so that a formatting slip does not hide a failing test
./scripts/format.sh --check
