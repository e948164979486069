#!/usr/bin/env bash
# Saves a PNG of every window, opened as a user opens it, into docs/ (runs under Xvfb).
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/needs.sh
needs "${RUN_PACKAGES[@]}" xvfb xauth fonts-dejavu-core
if [ ! -f build/build.ninja ]; then
  cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
fi
cmake --build build -j "$(nproc)" --target cantora-screenshots
shoot() { xvfb-run -a -s "-screen 0 1600x1200x24" ./build/tools/cantora-screenshots docs "$@"; }
shoot
# The main window and the phrase editor at a common desktop font size and in a dark theme.
shoot --points 11
shoot --dark
