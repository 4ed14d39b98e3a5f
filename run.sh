#!/usr/bin/env bash
# Installs what Verdantis needs, builds it, and runs it.
set -euo pipefail
cd "$(dirname "$0")"
./scripts/build.sh
# With arguments it runs the command line; without, the desktop program.
if [ $# -gt 0 ]; then
  exec build/src/cli/verdantis-cli "$@"
fi
exec build/src/gui/verdantis examples/microwave.kvf
