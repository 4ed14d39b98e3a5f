#!/usr/bin/env bash
# Builds the benchmarks and runs them one after another; each prints its own
# figures (processor time where the machine may be shared).
# Usage: bench/run.sh [BUILD_DIR] [NAME...]   e.g. bench/run.sh build canvas undo
set -euo pipefail
cd "$(dirname "$0")/.."
dir=build
if [ $# -gt 0 ] && [ -d "$1" ]; then
  dir=$1
  shift
fi
names=("$@")
if [ ${#names[@]} -eq 0 ]; then
  names=(solution_io)
  for piece in bench/*.cmake; do
    names+=("$(basename "$piece" .cmake)")
  done
fi
targets=()
for n in "${names[@]}"; do targets+=("bench_$n"); done
cmake --build "$dir" --target "${targets[@]}"
export QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen}
uptime
for t in "${targets[@]}"; do
  echo "== $t"
  "$dir/bench/$t"
done
