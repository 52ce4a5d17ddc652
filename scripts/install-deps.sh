#!/usr/bin/env bash
# Installs the Debian/Ubuntu packages that building, playing and testing need.
# Usage: scripts/install-deps.sh [play|web|package|test]   (default: test, which is a superset)
set -euo pipefail

what=${1:-test}
# The browser page: Debian's emscripten (with its node), the font it ships, the app icons made
# from the SVG, a server to try it.
web=(cmake ninja-build emscripten python3 fonts-comic-neue librsvg2-bin)
if [ "$what" = web ]; then
    packages=("${web[@]}")
else
    packages=(cmake ninja-build g++ pkg-config libsdl2-dev libcairo2-dev libfontconfig-dev
              libfreetype-dev fonts-comic-neue
              # the score server and its clients: HTTP; the server's table in SQLite or
              # PostgreSQL, SHA-256 for telling games apart
              libcpp-httplib-dev libsqlite3-dev libpq-dev libssl-dev)
fi
if [ "$what" = package ] || [ "$what" = test ]; then
    packages+=(dpkg-dev lintian file g++-mingw-w64-x86-64-posix "${web[@]}"
               # plonta.exe's icon from the SVG; the installer, and trying it under Wine
               librsvg2-bin icoutils nsis wine wine64)
fi
if [ "$what" = test ]; then
    packages+=(libgtest-dev libgmock-dev googletest libbenchmark-dev python3 xvfb xdotool
               openbox imagemagick x11-utils x11-xserver-utils appstream desktop-file-utils
               g++-mingw-w64-x86-64-posix wine wine64 clang-format man-db
               # the fuzz preset: clang with its libFuzzer runtime
               clang libclang-rt-dev
               # the Windows texts on a Russian system: the locale's sources, a Cyrillic font
               locales fonts-dejavu-core
               # the sound cases: a PulseAudio null sink of their own, recorded with parec
               pulseaudio pulseaudio-utils
               # the page in a real browser, driven by npm's playwright-core
               chromium
               # plonta-server's tests on a PostgreSQL cluster of their own
               postgresql)
    # A node from outside Debian brings its own npm, which Debian's would conflict with.
    command -v npm >/dev/null || packages+=(npm)
fi

missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=()
[ "$(id -u)" -eq 0 ] || sudo=(sudo)
export DEBIAN_FRONTEND=noninteractive
"${sudo[@]}" apt-get update -q
"${sudo[@]}" apt-get install -y -q "${missing[@]}"
