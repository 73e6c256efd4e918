#!/usr/bin/env bash
# The whole test suite under the address and undefined-behaviour sanitizers: configures
# build-sanitize/ with -DVX_SANITIZE=ON (a build folder of its own, build/ is left as it
# is), builds everything there and runs every ctest test. A sanitizer report ends its
# program with an error, so the test that ran it fails. Leak reports are off unless
# ASAN_OPTIONS says otherwise: Qt keeps some allocations to the end of a program.
#
#   bash scripts/sanitize.sh [CTEST ARGUMENTS]     (e.g. -R 'History|SafeWrite')
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
cmake -S . -B build-sanitize -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVX_SANITIZE=ON >/dev/null
cmake --build build-sanitize --parallel "$(nproc)"
export QT_QPA_PLATFORM=offscreen
export ASAN_OPTIONS="${ASAN_OPTIONS:-detect_leaks=0}"
export UBSAN_OPTIONS="${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}"
ctest --test-dir build-sanitize --output-on-failure --timeout 900 -j "$(nproc)" "$@"
