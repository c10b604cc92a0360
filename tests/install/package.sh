#!/usr/bin/env bash
# The Debian package that `make package` builds: lintian finds no error in it, its menu entry
# and AppStream data are valid, the icon and the launcher are where the entry names them,
# and, unpacked into a folder of its own, it runs for a new user (run-installed.sh).
# usage: package.sh BUILD_DIR
set -euo pipefail
here=$(dirname "$(readlink -f "$0")")
debs=("$1"/package/bootrama_*.deb)
[ ${#debs[@]} -eq 1 ] && [ -f "${debs[0]}" ] || { echo "FAIL: no single package in $1/package"; exit 1; }
deb=${debs[0]}
fail() { echo "FAIL: $*"; exit 1; }

echo "$(basename "$deb"): $(stat -c %s "$deb") bytes"
dpkg-deb --field "$deb" Depends
lintian --fail-on error "$deb"

work=$(mktemp -d)
trap 'chmod -R u+w "$work"; rm -rf "$work"' EXIT
chmod 755 "$work"
root="$work/root"
dpkg-deb -x "$deb" "$root"

entries=("$root"/usr/share/applications/*.desktop)
[ ${#entries[@]} -eq 1 ] || fail "not one menu entry: ${entries[*]}"
entry=${entries[0]}
desktop-file-validate "$entry"
appstreamcli validate --no-net "$root/usr/share/metainfo/$(basename "$entry" .desktop).metainfo.xml"
icon=$(sed -n 's/^Icon=//p' "$entry")
[ -f "$root/usr/share/icons/hicolor/scalable/apps/$icon.svg" ] || fail "no icon $icon in hicolor"
launcher=$(sed -n 's/^Exec=//p' "$entry")
[ "$launcher" = /usr/bin/bootrama ] && [ -x "$root$launcher" ] || fail "the entry runs $launcher"
[ ! -e "$root/usr/lib/bootrama/bootrama.ini" ] || fail "the package carries a bootrama.ini"

"$here/run-installed.sh" "$root/usr"
