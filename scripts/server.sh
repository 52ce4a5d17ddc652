#!/usr/bin/env bash
# Installs what the score server needs, builds it in release mode and starts it on its SQLite
# file in the data folder, at http://127.0.0.1:8090/ unless options say otherwise.
# Usage: scripts/server.sh [plonta-server OPTION...]
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh play
cmake --preset play >/dev/null
cmake --build --preset play --target plonta-server
exec build/play/server/plonta-server "$@"
