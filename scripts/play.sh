#!/usr/bin/env bash
# Installs what the game needs, builds it in release mode and starts it.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh play
# The play preset leaves the tests and benchmarks out: playing needs neither.
cmake --preset play >/dev/null
cmake --build --preset play --target plonta
exec build/play/shell/sdl/plonta "$@"
