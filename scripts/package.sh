#!/usr/bin/env bash
# Builds the Debian package: a Release build in build-package/ (apart from the test
# build in build/), then `cpack -G DEB` there. The .deb lands in build-package/.
#   bash scripts/package.sh            # runs scripts/setup.sh first (dpkg-dev: dpkg-shlibdeps)
#   PACKAGE_BUILD_DIR=/tmp/pkg bash scripts/package.sh
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
dir="${PACKAGE_BUILD_DIR:-build-package}"
launcher=()
if command -v ccache >/dev/null; then
  launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
fi
cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=Release "${launcher[@]}" >/dev/null
cmake --build "$dir" --parallel "$(nproc)" --target vextora vextora-cli vextora-sim vextora_layout
# "Türkçe.txt" is archived by name: only a UTF-8 locale lets the archiver reach it.
(cd "$dir" && LC_ALL=C.UTF-8 cpack -G DEB)
ls -1 "$dir"/vextora_*.deb
