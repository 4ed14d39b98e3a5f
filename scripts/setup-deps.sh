#!/usr/bin/env bash
# Installs the Debian packages Verdantis builds with, once; later runs only check.
set -euo pipefail
packages=(cmake ninja-build g++ ccache qt6-base-dev qt6-base-dev-tools libgl-dev
          libqt6sql6-sqlite libqt6sql6-psql postgresql qt6-svg-dev libxml2-utils spin gcc
          appstream lintian dpkg-dev pandoc librsvg2-bin poppler-utils openssl clang-format)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0
echo "Installing: ${missing[*]}"
SUDO=""
[ "$(id -u)" -ne 0 ] && SUDO="sudo"
$SUDO apt-get update -qq
DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
