#!/bin/bash
# `cmake --install` puts the executable, its 32 x 32 icon and a desktop entry
# where a desktop finds them, under any prefix.
# usage: install.sh <build folder>
set -euo pipefail
build=$1
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT
fail() { echo "FAIL [install]: $*" >&2; exit 1; }

cmake --install "$build" --prefix "$prefix" >/dev/null

exe=$prefix/bin/velkrin
icon=$prefix/share/icons/hicolor/32x32/apps/velkrin.png
entry=$prefix/share/applications/velkrin.desktop
[[ -x $exe ]] || fail "no executable at $exe"
cmp -s "$exe" "$build/app/velkrin" || fail "the installed executable is not the one built"
[[ -f $icon ]] || fail "no icon at $icon"
[[ $(identify -format '%m %wx%h' "$icon") == "PNG 32x32" ]] || fail "the icon is not a 32 x 32 PNG"
[[ -f $entry ]] || fail "no desktop entry at $entry"

# The keys a desktop needs to list and start the program.
value() { sed -n "s/^$1=//p" "$entry"; }
[[ $(head -n 1 "$entry") == "[Desktop Entry]" ]] || fail "the desktop entry has no [Desktop Entry] group"
[[ $(value Type) == Application ]] || fail "desktop entry Type is not Application"
[[ $(value Name) == Velkrin ]] || fail "desktop entry Name is not Velkrin"
[[ $(value Exec) == velkrin ]] || fail "desktop entry Exec does not start velkrin"
[[ $(value Icon) == velkrin ]] || fail "desktop entry Icon does not name the installed icon"
echo "installed: $(cd "$prefix" && find . -type f | sort | tr '\n' ' ')"
