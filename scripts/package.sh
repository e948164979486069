#!/usr/bin/env bash
# Builds the Debian package cantora-utility_<version>_<arch>.deb into ./build-package, with
# Debian's hardening flags, and checks it with lintian when lintian is installed.
# Install it with: sudo apt install ./build-package/cantora-utility_*.deb
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/needs.sh
# dpkg-dev: dpkg-shlibdeps (the dependencies) and dpkg-buildflags; file: CPack finds the
# programs with it.
needs "${RUN_PACKAGES[@]}" dpkg-dev file

launcher=()
if command -v ccache >/dev/null; then
  launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
fi
# Debian's hardening: fortified functions, stack protector, read-only relocations bound at
# start (relro, now) and position-independent executables.
export DEB_BUILD_MAINT_OPTIONS=hardening=+all
cxxflags="$(dpkg-buildflags --get CPPFLAGS) $(dpkg-buildflags --get CXXFLAGS)"
ldflags="$(dpkg-buildflags --get LDFLAGS)"
# A build of its own: installed under /usr, without tests, benchmarks and tools.
cmake -S . -B build-package -G Ninja -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX=/usr \
  -DCMAKE_CXX_FLAGS="$cxxflags" -DCMAKE_EXE_LINKER_FLAGS="$ldflags" \
  -DBUILD_TESTING=OFF -DCANTORA_BUILD_EXTRAS=OFF "${launcher[@]}" >/dev/null
cmake --build build-package -j "$(nproc)"
rm -f build-package/cantora-utility_*.deb
(cd build-package && cpack -G DEB >/dev/null)
deb=$(ls build-package/cantora-utility_*.deb)
echo "$deb"
# Errors and warnings fail; information is shown.
if command -v lintian >/dev/null; then
  lintian --info --fail-on error,warning "$deb"
fi
