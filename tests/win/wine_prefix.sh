#!/usr/bin/env bash
# A fresh Wine prefix for one test run: booted once, Direct3D on GDI (no OpenGL under Xvfb),
# and Comic Neue wherever the game asks for Comic Sans MS.
# Usage: wine_prefix.sh PREFIX
set -euo pipefail
prefix=$1
export WINEPREFIX=$prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
wineserver -k 2>/dev/null || true
rm -rf "$prefix"
mkdir -p "$(dirname "$prefix")"
# No display is needed to boot; keep wineboot from opening windows on one that happens to be set.
DISPLAY= timeout 150 wineboot --init
timeout 60 wineserver -w
settings=$(mktemp --suffix=.reg)
trap 'rm -f "$settings"' EXIT
printf '%s\r\n' 'REGEDIT4' '' \
    '[HKEY_CURRENT_USER\Software\Wine\Direct3D]' '"renderer"="gdi"' '' \
    '[HKEY_CURRENT_USER\Software\Wine\Fonts\Replacements]' '"Comic Sans MS"="Comic Neue"' '' \
    >"$settings"
DISPLAY= timeout 60 wine regedit /S "Z:${settings//\//\\}"
timeout 60 wineserver -w
grep -q '"renderer"="gdi"' "$prefix/user.reg"
grep -q '"Comic Sans MS"="Comic Neue"' "$prefix/user.reg"
echo "wine prefix ready: $prefix"
