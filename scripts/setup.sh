#!/usr/bin/env bash
# Installs what Vextora needs to build, test and run on Debian 12 (idempotent; run as root).
# Further package names given as arguments are installed the same way.
set -euo pipefail
packages=(
  cmake ninja-build g++ pkg-config
  qt6-base-dev qt6-base-dev-tools qt6-serialport-dev qt6-charts-dev libqt6opengl6-dev libgl-dev
  dpkg-dev file
  libgtest-dev googletest
  fontconfig fonts-dejavu-core
  xvfb xauth
  poppler-utils
  ser2net
  "$@"
)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
