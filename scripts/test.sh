#!/usr/bin/env bash
# Installs what building and testing need (Debian 12), builds everything into ./build (the
# programs, tests, benchmarks and tools) and runs the whole test suite headless.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/needs.sh
needs "${RUN_PACKAGES[@]}" "${TEST_PACKAGES[@]}"
if [ ! -f build/build.ninja ]; then
  cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
fi
cmake --build build -j "$(nproc)"
export QT_QPA_PLATFORM=offscreen
ctest --test-dir build --output-on-failure -j 2
