#!/bin/bash
# Takes a screenshot of the program's window on a private X server.
# usage: scripts/screenshot.sh <velkrin executable> <output.png>
# Builds nothing; needs Xvfb, xdotool and ImageMagick.
set -euo pipefail

if (($# != 2)); then
    echo "usage: $0 <velkrin executable> <output.png>" >&2
    exit 2
fi
exe=$(readlink -f "$1")
out=$2
[[ -x $exe ]] || { echo "not an executable: $1" >&2; exit 2; }

work=$(mktemp -d "${TMPDIR:-/tmp}/velkrin-screenshot.XXXXXX")
xvfb_pid=
app_pid=
cleanup() {
    # A killed process's status must not stop the clean-up under set -e.
    [[ -n $app_pid ]] && kill "$app_pid" 2>/dev/null && wait "$app_pid" 2>/dev/null || true
    [[ -n $xvfb_pid ]] && kill "$xvfb_pid" 2>/dev/null && wait "$xvfb_pid" 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT

mkfifo "$work/displayfd"
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$work/displayfd" >"$work/xvfb.log" 2>&1 &
xvfb_pid=$!
read -r -t 15 number <"$work/displayfd" || { cat "$work/xvfb.log" >&2; echo "Xvfb did not start" >&2; exit 1; }
export DISPLAY=":$number"

# A folder of its own, since the program saves beside itself.
mkdir -p "$work/app" "$work/home" "$work/runtime"
chmod 0700 "$work/runtime"
cp "$exe" "$work/app/velkrin"
(
    cd "$work/app"
    export HOME="$work/home" XDG_RUNTIME_DIR="$work/runtime" QT_QPA_PLATFORM=xcb NO_AT_BRIDGE=1 LANG=C.UTF-8
    exec ./velkrin
) >"$work/app.log" 2>&1 &
app_pid=$!

win=$(timeout 15 xdotool search --sync --onlyvisible --name '^Velkrin$' | head -n 1) || true
[[ -n $win ]] || { cat "$work/app.log" >&2; echo "the window did not appear" >&2; exit 1; }
# Give it time to paint: wait until it holds more than one colour.
for _ in $(seq 50); do
    colours=$(import -window "$win" -format '%k' info: 2>/dev/null || echo 0)
    ((colours > 1)) && break
    sleep 0.1
done
sleep 0.3
import -window "$win" "png:$out"
echo "$out: $(identify -format '%wx%h' "$out") window $win"
