#!/usr/bin/env bash
# Set-up, build and every test: the one command CI runs.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
# Warnings in the project's own code fail the build here.
VX_WERROR=ON bash scripts/build.sh
export QT_QPA_PLATFORM=offscreen
ctest --test-dir build --output-on-failure --timeout 300 -j "$(nproc)"
