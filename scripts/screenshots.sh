#!/usr/bin/env bash
# Makes the pictures of the user guide (docs/guide/images) with the desktop
# program's own windows on the examples, offscreen, so that they stay
# current. Usage: scripts/screenshots.sh [BUILD_DIR]
set -euo pipefail
cd "$(dirname "$0")/.."
dir=${1:-build}
cmake --build "$dir" --target verdantis-screenshots >&2
# a private home, so that no setting of the user's changes the pictures
home=$(mktemp -d)
trap 'rm -rf "$home"' EXIT
HOME=$home XDG_CONFIG_HOME=$home/config XDG_DATA_HOME=$home/data QT_QPA_PLATFORM=offscreen \
  QT_QPA_OFFSCREEN_NO_GLX=1 "$dir/tools/screenshots/verdantis-screenshots" examples docs/guide/images
