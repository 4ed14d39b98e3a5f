#!/usr/bin/env bash
# Installs what Verdantis needs, builds it, and runs it.
set -euo pipefail
cd "$(dirname "$0")"
./scripts/build.sh
if [ $# -gt 0 ]; then
  exec build/src/cli/verdantis-cli "$@"
fi
exec build/src/cli/verdantis-cli show examples/microwave.kvf
