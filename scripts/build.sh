#!/usr/bin/env bash
# Configures and builds into build/ (after scripts/setup.sh): everything, or only the
# targets named as arguments (scripts/run.sh names the programs it runs).
# VX_WERROR=ON (scripts/test.sh, so CI) makes compiler warnings errors; without it the
# build keeps what it was configured with.
set -euo pipefail
cd "$(dirname "$0")/.."
options=(-DCMAKE_BUILD_TYPE="${BUILD_TYPE:-RelWithDebInfo}")
if [ -n "${VX_WERROR:-}" ]; then
  options+=(-DVX_WERROR="$VX_WERROR")
fi
cmake -S . -B build -G Ninja "${options[@]}" >/dev/null
if [ $# -gt 0 ]; then
  cmake --build build --parallel "$(nproc)" --target "$@"
else
  cmake --build build --parallel "$(nproc)"
fi
