#!/usr/bin/env bash
# Installs what is missing (Debian 12), then configures and builds into ./build.
# Quick when everything is already there.
set -euo pipefail
cd "$(dirname "$0")/.."

packages=(cmake ninja-build g++ qt6-base-dev qt6-serialport-dev libgl-dev xvfb xauth
          fonts-dejavu-core qt6-multimedia-dev flite1-dev clang libclang-rt-14-dev libfuzzer-14-dev
          desktop-file-utils appstream at-spi2-core sox dpkg-dev file
          libpulse-dev pulseaudio pulseaudio-utils)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  SUDO=""
  [ "$(id -u)" -ne 0 ] && SUDO="sudo"
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

if [ ! -f build/build.ninja ]; then
  cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
fi
cmake --build build -j "$(nproc)"
