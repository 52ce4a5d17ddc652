#!/usr/bin/env bash
# A fresh Wine prefix for one test run: booted once, Direct3D on GDI (no OpenGL under Xvfb),
# and a stand-in wherever the game asks for Comic Sans MS.
# Usage: wine_prefix.sh PREFIX [FONT [LOCALE]]
#   FONT    the stand-in font (default Comic Neue)
#   LOCALE  the locale the prefix is made under (default the caller's). One the system lacks
#           is compiled with localedef into PREFIX-locales; run Wine with LOCPATH set there.
set -euo pipefail
prefix=$1
font=${2:-Comic Neue}
locale=${3:-}
export WINEPREFIX=$prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
wineserver -k 2>/dev/null || true
rm -rf "$prefix" "$prefix-locales"
mkdir -p "$(dirname "$prefix")"
if [ -n "$locale" ]; then
    # locale -a spells UTF-8 as utf8.
    if ! locale -a | grep -qixF "$(echo "$locale" | sed 's/UTF-8$/utf8/I')"; then
        mkdir -p "$prefix-locales"
        localedef -i "${locale%%.*}" -f "${locale#*.}" "$prefix-locales/$locale"
        export LOCPATH=$prefix-locales
    fi
    export LANG=$locale LC_ALL=$locale
fi
# No display is needed to boot; keep wineboot from opening windows on one that happens to be set.
DISPLAY= timeout 150 wineboot --init
timeout 60 wineserver -w
settings=$(mktemp --suffix=.reg)
trap 'rm -f "$settings"' EXIT
printf '%s\r\n' 'REGEDIT4' '' \
    '[HKEY_CURRENT_USER\Software\Wine\Direct3D]' '"renderer"="gdi"' '' \
    '[HKEY_CURRENT_USER\Software\Wine\Fonts\Replacements]' "\"Comic Sans MS\"=\"$font\"" '' \
    >"$settings"
DISPLAY= timeout 60 wine regedit /S "Z:${settings//\//\\}"
timeout 60 wineserver -w
grep -q '"renderer"="gdi"' "$prefix/user.reg"
grep -q "\"Comic Sans MS\"=\"$font\"" "$prefix/user.reg"
echo "wine prefix ready: $prefix${locale:+ ($locale)}"
