#!/usr/bin/env bash
# Builds the Debian package verdantis_VERSION_amd64.deb and checks it: the
# AppStream metadata must validate and lintian must report no errors.
#
#   scripts/package.sh [--no-build] [BUILD_DIR]
#
# BUILD_DIR defaults to build-package/ (a Release build without tests).
# --no-build packs BUILD_DIR as it stands, for a test run after the build.
# The path of the package is the last line printed.
set -euo pipefail
cd "$(dirname "$0")/.."
build=1
if [ "${1:-}" = "--no-build" ]; then
  build=0
  shift
fi
dir=${1:-build-package}

if [ $build -eq 1 ]; then
  ./scripts/setup-deps.sh
  if [ ! -f "$dir/CMakeCache.txt" ]; then
    cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=Release \
      -DVERDANTIS_BUILD_TESTS=OFF -DVERDANTIS_BUILD_BENCH=OFF
  fi
  cmake --build "$dir"
fi

appstreamcli validate --no-net --pedantic packaging/io.github.verdantis.Verdantis.metainfo.xml >&2 ||
  { echo "package.sh: the AppStream metadata does not validate" >&2; exit 1; }

rm -f "$dir"/verdantis_*_amd64.deb
(cd "$dir" && cpack -G DEB >&2)
deb=$(ls "$dir"/verdantis_*_amd64.deb)

if command -v lintian >/dev/null; then
  # errors fail the build; warnings are shown for the maintainers to weigh
  lintian --fail-on error "$deb" >&2
else
  echo "package.sh: lintian is not installed (scripts/setup-deps.sh installs it); not checked" >&2
fi
echo "$deb"
