#!/usr/bin/env bash
# Formats every tracked C and C++ file with clang-format (.clang-format) and
# writes string literals in one style (u"..."_qs, no "_s").
# Usage: scripts/format.sh [--check]
#   --check changes nothing; it names the files that would change and fails.
set -euo pipefail
cd "$(dirname "$0")/.."
command -v clang-format >/dev/null || ./scripts/setup-deps.sh
mapfile -t files < <(git ls-files '*.cpp' '*.h' '*.hpp' '*.cc')
[ ${#files[@]} -eq 0 ] && exit 0
literals='"_s\b'
if [ "${1:-}" = --check ]; then
  status=0
  if ! printf '%s\0' "${files[@]}" | xargs -0 -n 50 clang-format --dry-run --Werror --style=file 2>/tmp/format-check.$$; then
    grep -o '^[^:]*\.\(cpp\|h\|hpp\|cc\)' /tmp/format-check.$$ | sort -u | sed 's/^/not formatted: /'
    status=1
  fi
  rm -f /tmp/format-check.$$
  if git grep -lP "$literals" -- "${files[@]}" | sed 's/^/"_s" literals: /' | grep .; then
    status=1
  fi
  [ $status = 0 ] || echo "run scripts/format.sh to fix" >&2
  exit $status
fi
# "_qs" needs no using-directive; the one for "_s" goes with it
mapfile -t literalFiles < <(git grep -lP "$literals" -- "${files[@]}" || true)
if [ ${#literalFiles[@]} -gt 0 ]; then
  sed -i -E -e 's/"_s\b/"_qs/g' \
    -e '/^using namespace Qt::(Literals::)?StringLiterals;$/d' "${literalFiles[@]}"
fi
printf '%s\0' "${files[@]}" | xargs -0 -n 50 -P "$(nproc)" clang-format -i --style=file
