#!/bin/bash
# Takes a screenshot of Velkrin.exe's window, title bar included, under Wine
# at a given DPI, on a private X server inside a Wine desktop.
# usage: scripts/wine-screenshot.sh <Velkrin.exe> <dpi> <output.png>
# WINEPREFIX: the prefix (default: the 64-bit build's); its DPI is put back.
# Builds nothing; needs Xvfb, Wine and ImageMagick.
set -euo pipefail
(($# == 3)) || { echo "usage: $0 <Velkrin.exe> <dpi> <output.png>" >&2; exit 2; }
exe=$(readlink -f "$1") dpi=$2 out=$3
root=$(cd "$(dirname "$0")/.." && pwd)
export WINEPREFIX=${WINEPREFIX:-$root/build-windows/x86_64/wineprefix}
run() { "$root/tests/win32/wine-run.sh" "$@" </dev/null 2>/dev/null | tr -d '\r'; }
restart() { /usr/lib/wine/wineserver -k 2>/dev/null || true; /usr/lib/wine/wineserver -w 2>/dev/null || true; }
key='HKCU\Control Panel\Desktop'
setDpi() { run reg add "$key" /v LogPixels /t REG_DWORD /d "$1" /f >/dev/null; }

work=$(mktemp -d "${TMPDIR:-/tmp}/velkrin-wine-shot.XXXXXX")
before=$(run reg query "$key" /v LogPixels | awk '/LogPixels/ {print $3}' || true)
cleanup() {
    restart
    setDpi $((${before:-96})) || true
    restart
    [[ -n ${xvfb_pid:-} ]] && kill "$xvfb_pid" 2>/dev/null && wait "$xvfb_pid" 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT
mkfifo "$work/displayfd"
Xvfb -displayfd 3 -screen 0 1600x1400x24 -nolisten tcp 3>"$work/displayfd" >/dev/null 2>&1 &
xvfb_pid=$!
read -r -t 15 number <"$work/displayfd" || { echo "Xvfb did not start" >&2; exit 1; }
export DISPLAY=":$number"

# Wine reads the DPI when it starts.
restart && setDpi "$dpi" && restart
cp "$exe" "$work/Velkrin.exe"
(cd "$work" && exec "$root/tests/win32/wine-run.sh" explorer /desktop=shot,1000x1300 Velkrin.exe) >/dev/null 2>&1 &
desk=$(timeout 60 xdotool search --sync --onlyvisible --name '^shot - Wine desktop$' | head -n 1)
# The window, cut from the desktop's plain background, once it is painted
# and holds still.
last=
for _ in $(seq 100); do
    sleep 0.3
    import -window "$desk" "$work/desk.png"
    now=$(convert "$work/desk.png" -trim -format '%wx%h%O %k' info:)
    [[ $now == "$last" && ${now##* } -gt 20 ]] && break
    last=$now
done
convert "$work/desk.png" -trim +repage "png:$out"
echo "$out: $(identify -format '%wx%h' "$out") at $dpi dpi"
