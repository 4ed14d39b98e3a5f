#!/usr/bin/env bash
# Configures (once) and builds Verdantis in build/ with warnings as errors.
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/setup-deps.sh
if [ ! -f build/build.ninja ]; then
  cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVERDANTIS_WERROR=ON
fi
cmake --build build -j "$(nproc)"
