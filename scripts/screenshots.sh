#!/usr/bin/env bash
# Saves a PNG of every window, opened as a user opens it, into docs/ (runs under Xvfb).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
shoot() { xvfb-run -a -s "-screen 0 1600x1200x24" ./build/tools/cantora-screenshots docs "$@"; }
shoot
# The main window and the phrase editor at a common desktop font size and in a dark theme.
shoot --points 11
shoot --dark
