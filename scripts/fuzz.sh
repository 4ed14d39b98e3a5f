#!/usr/bin/env bash
# Builds the libFuzzer targets with clang and runs each for SECONDS (default
# 60), one after the other on one core, then prints executions and findings
# per target. Inputs that crash land in <build>/findings/<target>/; a fixed
# one belongs in fuzz/regressions/<target>/, which fuzz_replay runs in CI.
# Usage: scripts/fuzz.sh [SECONDS] [TARGET...]
# VERDANTIS_FUZZ_BUILD names the build folder (default build-fuzz).
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${1:-60}"
shift || true
all_targets=(records solution packets apply translate reqimport)
targets=("${@:-${all_targets[@]}}")
build="${VERDANTIS_FUZZ_BUILD:-build-fuzz}"
root="$PWD"

if ! command -v clang++ >/dev/null || ! ls /usr/lib/llvm-*/lib/clang/*/lib/linux/libclang_rt.fuzzer-x86_64.a >/dev/null 2>&1; then
  echo "Installing clang and libFuzzer (clang, libclang-rt-dev)"
  SUDO=""
  [ "$(id -u)" -ne 0 ] && SUDO="sudo"
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends clang libclang-rt-dev
fi

if [ ! -f "$build/build.ninja" ]; then
  cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++ \
    -DVERDANTIS_FUZZ=ON -DVERDANTIS_GUI=OFF -DVERDANTIS_BUILD_TESTS=OFF -DVERDANTIS_BUILD_BENCH=OFF
fi
cmake --build "$build" -j "$(nproc)" --target "${targets[@]/#/fuzz_}"

# Seed corpora: copies of the repository's own samples (the working corpus
# grows in the build folder and is never committed).
seed() {
  local target="$1" dir="$build/corpus/$1"
  mkdir -p "$dir"
  cp -n fuzz/regressions/"$target"/* "$dir"/ 2>/dev/null || true
  case "$target" in
    solution)
      for f in examples/*.kvf tests/data/*/*.kvf; do cp -n "$f" "$dir/$(echo "$f" | tr / _)"; done ;;
    records)
      # each record line of the sample solution on its own
      awk -v d="$dir" '{ f = d "/line" NR; printf "%s", $0 > f; close(f) }' examples/microwave.kvf ;;
    packets)
      # a download of the sample solution, as the server sends it (after
      # the byte that picks which requests were sent)
      { printf '\037'; { printf 'FileDownAck#s#%s#x#' "$(wc -c < examples/microwave.kvf)"; cat examples/microwave.kvf
        printf '..OpCont#s#addreq;tag:R9;desc:new;..FileListAck#a#b#..'; } | iconv -f UTF-8 -t UTF-16LE; } > "$dir/download" ;;
    reqimport)
      for f in examples/*.txt tests/data/reqimport/*.txt; do { printf '\000'; cat "$f"; } > "$dir/$(echo "$f" | tr / _)"; done ;;
  esac
}

export ASAN_OPTIONS="halt_on_error=1:abort_on_error=1:detect_leaks=1"
export UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1"
summary=()
for target in "${targets[@]}"; do
  seed "$target"
  findings="$build/findings/$target"
  mkdir -p "$findings"
  log="$build/findings/$target.log"
  echo "== fuzz_$target for ${seconds}s"
  set +e
  "$build/fuzz/fuzz_$target" "$build/corpus/$target" -max_total_time="$seconds" -rss_limit_mb=2048 \
    -max_len=65536 -timeout=10 -print_final_stats=1 -artifact_prefix="$findings/" >"$log" 2>&1
  status=$?
  set -e
  execs=$(grep -o 'stat::number_of_executed_units: *[0-9]*' "$log" | grep -o '[0-9]*$' || echo "?")
  found=$(find "$findings" -type f | wc -l)
  summary+=("$(printf '%-10s %12s execs  %3s findings  exit %s' "$target" "$execs" "$found" "$status")")
  [ "$status" -ne 0 ] && tail -n 40 "$log"
done
echo
printf '%s\n' "${summary[@]}"
