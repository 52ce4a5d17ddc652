#!/usr/bin/env bash
# Installs what the game needs, builds it in release mode and starts it.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh play
cmake --preset release >/dev/null
cmake --build --preset release --target plonta
exec build/release/shell/sdl/plonta "$@"
