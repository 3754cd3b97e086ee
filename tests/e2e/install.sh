#!/bin/bash
# `cmake --install` puts the executable, its icon at every size, a desktop
# entry and AppStream metainfo where a desktop finds them, under any prefix,
# and the desktop's own validators accept the entry and the metainfo.
# usage: install.sh <build folder>
set -euo pipefail
build=$1
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT
fail() { echo "FAIL [install]: $*" >&2; exit 1; }
id=org.velkrin.Velkrin

cmake --install "$build" --prefix "$prefix" >/dev/null

exe=$prefix/bin/velkrin
entry=$prefix/share/applications/$id.desktop
metainfo=$prefix/share/metainfo/$id.metainfo.xml
[[ -x $exe ]] || fail "no executable at $exe"
cmp -s "$exe" "$build/app/velkrin" || fail "the installed executable is not the one built"
for size in 32 48 64 128 256; do
    icon=$prefix/share/icons/hicolor/${size}x${size}/apps/$id.png
    [[ -f $icon ]] || fail "no icon at $icon"
    [[ $(identify -format '%m %wx%h' "$icon") == "PNG ${size}x${size}" ]] || fail "$icon is not a $size x $size PNG"
done
[[ -f $entry ]] || fail "no desktop entry at $entry"
[[ -f $metainfo ]] || fail "no AppStream metainfo at $metainfo"

# The keys a desktop needs to list and start the program.
value() { sed -n "s/^$1=//p" "$entry"; }
[[ $(head -n 1 "$entry") == "[Desktop Entry]" ]] || fail "the desktop entry has no [Desktop Entry] group"
[[ $(value Type) == Application ]] || fail "desktop entry Type is not Application"
[[ $(value Name) == Velkrin ]] || fail "desktop entry Name is not Velkrin"
[[ $(value Exec) == velkrin ]] || fail "desktop entry Exec does not start velkrin"
[[ $(value Icon) == "$id" ]] || fail "desktop entry Icon does not name the installed icon"
grep -q "<launchable type=\"desktop-id\">$id.desktop</launchable>" "$metainfo" ||
    fail "the metainfo does not launch the installed desktop entry"

# Hints and pedantic notes are printed but pass; errors and warnings fail.
desktop-file-validate "$entry" || fail "desktop-file-validate rejects $entry"
appstreamcli validate --no-net "$metainfo" || fail "appstreamcli rejects $metainfo"
echo "installed: $(cd "$prefix" && find . -type f | sort | tr '\n' ' ')"
