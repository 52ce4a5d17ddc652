#!/usr/bin/env bash
# Builds the downloads into build/packages/: the Debian packages of the Linux program
# (plonta_VERSION_amd64.deb) and of the score server (plonta-server_VERSION_amd64.deb), the
# Windows installer (plonta-VERSION-setup.exe) and ZIP, and the browser page's folder as a ZIP
# (plonta-VERSION-web.zip, index.html at its root, as game portals take it). Installs what it
# needs, like the other scripts.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh package
out=$PWD/build/packages
rm -rf "$out"
mkdir -p "$out"

# Debian's own compiler and linker flags, with all of its hardening.
export DEB_BUILD_MAINT_OPTIONS=hardening=+all
cxxflags="$(dpkg-buildflags --get CXXFLAGS) $(dpkg-buildflags --get CPPFLAGS)"
ldflags=$(dpkg-buildflags --get LDFLAGS)
cmake -S . -B build/package-deb -G Ninja -DCMAKE_BUILD_TYPE=None \
    -DCMAKE_CXX_FLAGS="$cxxflags" -DCMAKE_EXE_LINKER_FLAGS="$ldflags" \
    -DCMAKE_INSTALL_PREFIX=/usr -DPLONTA_INSTALL_BINDIR=games \
    -DBUILD_TESTING=OFF -DPLONTA_BENCH=OFF
cmake --build build/package-deb --target plonta plonta_manual plonta_changelog plonta-server
(cd build/package-deb && cpack -G DEB && cpack -G DEB --config CPackServerConfig.cmake)
cp build/package-deb/package/plonta_*_amd64.deb build/package-deb/package/plonta-server_*_amd64.deb \
    "$out/"

cmake -S . -B build/package-windows -G Ninja \
    --toolchain "$PWD/cmake/mingw-w64-x86_64.cmake" -DCMAKE_BUILD_TYPE=MinSizeRel \
    -DBUILD_TESTING=OFF -DPLONTA_BENCH=OFF
cmake --build build/package-windows --target plonta plonta_setup
(cd build/package-windows && cpack -G ZIP)
cp build/package-windows/package/plonta-*-windows-x64.zip \
    build/package-windows/package/plonta-*-setup.exe "$out/"

cmake --preset web-play -B build/package-web
cmake --build build/package-web --target plonta
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' build/package-web/CMakeCache.txt)
(cd build/package-web/site && cmake -E tar cf "$out/plonta-$version-web.zip" --format=zip -- *)

ls -l "$out"
