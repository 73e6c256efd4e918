#!/usr/bin/env bash
# Configures and builds into build/ (after scripts/setup.sh): everything, or only the
# targets named as arguments (scripts/run.sh names the programs it runs).
set -euo pipefail
cd "$(dirname "$0")/.."
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE="${BUILD_TYPE:-RelWithDebInfo}" >/dev/null
if [ $# -gt 0 ]; then
  cmake --build build --parallel "$(nproc)" --target "$@"
else
  cmake --build build --parallel "$(nproc)"
fi
