#!/usr/bin/env bash
# Installs what building the program needs (Debian 12), builds only the programs into ./build,
# and starts Cantora Utility. Quick when everything is already there.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/needs.sh
needs "${RUN_PACKAGES[@]}"
if [ ! -f build/build.ninja ]; then
  cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
fi
cmake --build build -j "$(nproc)" --target cantora-utility cantora-chip
exec ./build/cantora-utility
