#!/usr/bin/env bash
# Installs what the tests need, then builds and runs every test: the rules, the drawing,
# the Linux program under Xvfb, the cross-built Windows program under Wine, and the browser
# build: its rules under node and its page in headless chromium (against the native plonta-sim).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh test
# As many tests side by side as the machine has cores.
export CTEST_PARALLEL_LEVEL=${CTEST_PARALLEL_LEVEL:-$(nproc)}

cmake --preset default
cmake --build --preset default
ctest --preset default

cmake --preset windows
cmake --build --preset windows
ctest --preset windows

cmake --preset web
cmake --build --preset web
ctest --preset web
