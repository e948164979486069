#!/usr/bin/env bash
# Sets everything up, builds, and starts Cantora Utility.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
exec ./build/cantora-utility
