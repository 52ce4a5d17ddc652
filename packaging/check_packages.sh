#!/usr/bin/env bash
# Checks what scripts/package.sh made in build/packages: the .deb's fields and files, lintian's
# verdict, the unpacked program's --version, the server's .deb alike, the Windows and web ZIPs' files, and the Windows
# installer under Wine, installed and removed in a fresh prefix of its own. With --install
# (as root, on a machine that may be changed) it also installs the .deb with apt, finds the
# program, its manual page and launcher, and removes it again, leaving nothing behind; and the
# server's the same way, whose maintainer scripts must pass without a running systemd.
set -euo pipefail
cd "$(dirname "$0")/.."
packages=build/packages
version=$(sed -n 's/^project(Plonta VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
deb=$packages/plonta_${version}_amd64.deb
server=$packages/plonta-server_${version}_amd64.deb
zip=$packages/plonta-${version}-windows-x64.zip
web=$packages/plonta-${version}-web.zip
setup=$packages/plonta-${version}-setup.exe
fail() { echo "check_packages: $*" >&2; exit 1; }
[ -f "$deb" ] || fail "no $deb"
[ -f "$server" ] || fail "no $server"
[ -f "$zip" ] || fail "no $zip"
[ -f "$web" ] || fail "no $web"
[ -f "$setup" ] || fail "no $setup"

field() { dpkg-deb --field "$deb" "$1"; }
[ "$(field Package)" = plonta ] || fail "Package is '$(field Package)'"
[ "$(field Version)" = "$version" ] || fail "Version is '$(field Version)', not $version"
[ "$(field Architecture)" = amd64 ] || fail "Architecture is '$(field Architecture)'"
[ "$(field Section)" = games ] || fail "Section is '$(field Section)'"
[ "$(field Recommends)" = fonts-comic-neue ] || fail "Recommends is '$(field Recommends)'"
for library in libsdl2-2.0-0 libcairo2 libfontconfig1 libfreetype6 libc6; do
    field Depends | grep -q "\b$library\b" || fail "Depends lacks $library: $(field Depends)"
done

contents=$(dpkg-deb --contents "$deb" | awk '{print $6}')
for path in ./usr/games/plonta ./usr/games/plonta-sim ./usr/share/man/man6/plonta.6.gz \
    ./usr/share/man/man6/plonta-sim.6.gz \
    ./usr/share/applications/org.plonta.Plonta.desktop \
    ./usr/share/metainfo/org.plonta.Plonta.metainfo.xml \
    ./usr/share/icons/hicolor/scalable/apps/org.plonta.Plonta.svg \
    ./usr/share/doc/plonta/copyright ./usr/share/doc/plonta/changelog.gz; do
    grep -qx "$path" <<<"$contents" || fail "the package lacks $path"
done
outside=$(grep -v '^\./usr/' <<<"$contents" | grep -vx '\./' || true)
[ -z "$outside" ] || fail "files outside /usr: $outside"

# Errors and warnings fail; informational notes do not.
lintian --fail-on error,warning --allow-root "$deb"

unpacked=$(mktemp -d)
trap 'rm -rf "$unpacked"' EXIT
dpkg-deb -x "$deb" "$unpacked"
grep -qx "Exec=/usr/games/plonta" "$unpacked/usr/share/applications/org.plonta.Plonta.desktop" ||
    fail "the launcher does not start /usr/games/plonta"
file "$unpacked/usr/games/plonta" | grep -q ", stripped" || fail "the program is not stripped"
# No display: --version must answer before any window is tried.
said=$(env -u DISPLAY -u WAYLAND_DISPLAY timeout 20 "$unpacked/usr/games/plonta" --version)
[ "$said" = "plonta $version" ] || fail "--version said '$said'"

[ "$(dpkg-deb --field "$server" Package Version Section | tr '\n' ' ')" = \
    "Package: plonta-server Version: $version Section: net " ] ||
    fail "the server's fields are $(dpkg-deb --field "$server")"
for library in libcpp-httplib libsqlite3-0 libpq5 libc6 init-system-helpers; do
    dpkg-deb --field "$server" Depends | grep -q "\b$library" ||
        fail "the server's Depends lacks $library"
done
server_contents=$(dpkg-deb --contents "$server" | awk '{print $6}')
for path in ./usr/bin/plonta-server ./lib/systemd/system/plonta-server.service \
    ./usr/share/man/man8/plonta-server.8.gz ./usr/share/doc/plonta-server/copyright \
    ./usr/share/doc/plonta-server/changelog.gz; do
    grep -qx "$path" <<<"$server_contents" || fail "the server's package lacks $path"
done
outside=$(grep -v '^\./\(usr\|lib\)/' <<<"$server_contents" | grep -vx '\./' || true)
[ -z "$outside" ] || fail "server files outside /usr and /lib: $outside"
lintian --fail-on error,warning --allow-root "$server"
dpkg-deb -x "$server" "$unpacked"
file "$unpacked/usr/bin/plonta-server" | grep -q ", stripped" || fail "plonta-server is not stripped"
grep -qx "ExecStart=/usr/bin/plonta-server .*--database /var/lib/plonta-server/.*" \
    "$unpacked/lib/systemd/system/plonta-server.service" || fail "the unit does not start /usr/bin"
timeout 20 "$unpacked/usr/bin/plonta-server" --help | grep -q -- --listen ||
    fail "plonta-server --help does not answer"

zipped() { python3 -c 'import sys, zipfile; print("\n".join(zipfile.ZipFile(sys.argv[1]).namelist()))' "$1"; }
for path in "plonta-${version}-windows-x64/plonta.exe" "plonta-${version}-windows-x64/README.txt"; do
    grep -qx "$path" <<<"$(zipped "$zip")" || fail "the ZIP lacks $path"
done
# Older Notepad shows a readme of LF lines as one line.
python3 -c 'import sys, zipfile; t = zipfile.ZipFile(sys.argv[1]).read(sys.argv[2])
sys.exit(t.count(b"\n") != t.count(b"\r\n") or not t.endswith(b"\r\n"))' \
    "$zip" "plonta-${version}-windows-x64/README.txt" || fail "README.txt lacks CRLF line ends"
# A C++ stream linked in by accident brings the static runtime's locales along: 600 KB more.
size=$(python3 -c 'import sys, zipfile; print(zipfile.ZipFile(sys.argv[1]).getinfo(sys.argv[2]).file_size)' \
    "$zip" "plonta-${version}-windows-x64/plonta.exe")
[ "$size" -lt 524288 ] || fail "plonta.exe takes $size bytes, more than 512 KiB"
# A portal serves the web ZIP as it is: the page at its root, with everything it loads, and
# what makes it installable and playable offline.
for path in index.html page.js page.css plonta.js plonta.wasm ComicNeue-Regular.woff \
    COPYING-ComicNeue manifest.webmanifest sw.js icon-192.png icon-512.png icon-maskable.png \
    screenshot.png; do
    grep -qx "$path" <<<"$(zipped "$web")" || fail "the web ZIP lacks $path"
done

# The installer, silently for the current user alone: exactly the program, the readme, the
# uninstaller and the Start-menu shortcut arrive, and the entry in Apps & features; the silent
# uninstall leaves the prefix as it found it (the uninstaller's copy of itself in Temp goes at
# the next restart, as Windows does it).
wine=$(mktemp -d)
trap 'wineserver -k 2>/dev/null || true; rm -rf "$unpacked" "$wine"' EXIT
tests/win/wine_prefix.sh "$wine/prefix" >/dev/null
export WINEPREFIX=$wine/prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
files() { (cd "$WINEPREFIX/drive_c" && find . -path './users/*/Temp' -prune -o -print | sort); }
wine_run() { DISPLAY='' timeout 120 wine "$@"; timeout 60 wineserver -w; }
key='Software\\\\Microsoft\\\\Windows\\\\CurrentVersion\\\\Uninstall\\\\Plonta'
entry() { sed -n "/^\\[$key\\]/,/^\$/p" "$WINEPREFIX/user.reg"; }
files >"$wine/before"
wine_run "$setup" /S
app=AppData/Local/Programs/Plonta
shortcut='AppData/Roaming/Microsoft/Windows/Start Menu/Programs/Plonta.lnk'
added=$(files | comm -13 "$wine/before" - | sed 's|^\./users/[^/]*/||')
[ "$added" = "$(printf '%s\n' "${app%/*}" "$app" "$app/"{README.txt,plonta.exe,uninstall.exe} \
    "$shortcut")" ] || fail "the installer added: $added"
home=$(echo "$WINEPREFIX"/drive_c/users/*/"$app")
home=${home%/"$app"}
strings "$home/$shortcut" | grep -qF 'Programs\Plonta\plonta.exe' ||
    fail "the shortcut does not start plonta.exe"
for value in '"DisplayName"="Plonta"' "\"DisplayVersion\"=\"$version\"" '"Publisher"="The Plonta' \
    '"DisplayIcon"="C:\\\\users\\\\.*\\\\Plonta\\\\plonta.exe,0"' \
    '"EstimatedSize"=dword:0000[0-9a-f]' '"QuietUninstallString"=".*\\\\uninstall.exe\\" /S"'; do
    entry | grep -q "^$value" || fail "the uninstall entry lacks $value: $(entry)"
done
said=$(DISPLAY='' timeout 30 wine "$home/$app/plonta.exe" --version)
[ "$said" = "plonta.exe $version" ] || fail "the installed plonta.exe --version said '$said'"
wine_run "$home/$app/uninstall.exe" /S
[ -z "$(entry)" ] || fail "the uninstaller left its entry: $(entry)"
left=$(files | diff "$wine/before" - || true)
[ -z "$left" ] || fail "the uninstaller left: $left"

if [ "${1:-}" = --install ]; then
    DEBIAN_FRONTEND=noninteractive apt-get install -y -q "./$deb"
    [ -x /usr/games/plonta ] || fail "apt did not install /usr/games/plonta"
    [ "$(man -w plonta)" = /usr/share/man/man6/plonta.6.gz ] || fail "man plonta finds no page"
    [ -f /usr/share/applications/org.plonta.Plonta.desktop ] || fail "no launcher in the menu"
    DEBIAN_FRONTEND=noninteractive apt-get purge -y -q plonta
    left=$(dpkg-deb --contents "$deb" | awk '{print $6}' | sed 's|^\.||' |
        while read -r path; do [ -f "$path" ] && echo "$path"; done || true)
    [ -z "$left" ] || fail "removing the package left $left"

    DEBIAN_FRONTEND=noninteractive apt-get install -y -q "./$server"
    [ -x /usr/bin/plonta-server ] || fail "apt did not install /usr/bin/plonta-server"
    [ "$(man -w plonta-server)" = /usr/share/man/man8/plonta-server.8.gz ] ||
        fail "man plonta-server finds no page"
    DEBIAN_FRONTEND=noninteractive apt-get purge -y -q plonta-server
    left=$(sed 's|^\.||' <<<"$server_contents" | while read -r path; do
        [ -f "$path" ] && echo "$path"; done || true)
    [ -z "$left" ] || fail "purging the server left $left"
    for path in /var/lib/plonta-server /var/lib/private/plonta-server \
        /etc/systemd/system/multi-user.target.wants/plonta-server.service \
        /var/lib/systemd/deb-systemd-helper-enabled/plonta-server.service.dsh-also; do
        [ ! -e "$path" ] || fail "purging the server left $path"
    done
fi
echo "check_packages: $deb, $server, $zip, $setup and $web are sound"
