#!/usr/bin/env bash
# Installs what Verdantis needs, builds it, and runs every test; then builds
# the core, the command line and the server with the address and undefined
# behaviour sanitizers and runs their tests again (scripts/sanitize.sh).
set -euo pipefail
cd "$(dirname "$0")"
./scripts/build.sh
export QT_QPA_PLATFORM=offscreen
ctest --test-dir build --output-on-failure -j "$(nproc)" "$@"
if [ "${VERDANTIS_SKIP_SANITIZERS:-0}" != 1 ]; then
  ./scripts/sanitize.sh
fi
