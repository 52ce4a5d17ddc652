#!/usr/bin/env bash
# Builds the game for the browser and serves its page on http://127.0.0.1:8000/ until stopped
# (PLONTA_WEB_PORT=N for another port). The folder it serves, build/web-play/site/, is the
# whole page: any static web host can serve a copy of it.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh web
cmake --preset web-play
cmake --build --preset web-play

site=$PWD/build/web-play/site
port=${PLONTA_WEB_PORT:-8000}
echo "Plonta is on http://127.0.0.1:$port/ (serving $site; Ctrl+C stops it)"
exec python3 -m http.server "$port" --bind 127.0.0.1 --directory "$site"
