#!/usr/bin/env bash
# Builds the Debian package cantora-utility_<version>_<arch>.deb into ./build-package.
# Install it with: sudo apt install ./build-package/cantora-utility_*.deb
set -euo pipefail
cd "$(dirname "$0")/.."
# The tools and libraries come with the set-up (which also builds ./build); skip it when they
# are there.
for tool in cmake ninja g++ cpack dpkg-shlibdeps; do
  command -v "$tool" >/dev/null || { bash scripts/setup.sh; break; }
done

launcher=()
if command -v ccache >/dev/null; then
  launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
fi
# A build of its own: installed under /usr, without tests, benchmarks and tools.
cmake -S . -B build-package -G Ninja -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX=/usr \
  -DBUILD_TESTING=OFF -DCANTORA_BUILD_EXTRAS=OFF "${launcher[@]}" >/dev/null
cmake --build build-package -j "$(nproc)"
rm -f build-package/cantora-utility_*.deb
(cd build-package && cpack -G DEB >/dev/null)
ls build-package/cantora-utility_*.deb
