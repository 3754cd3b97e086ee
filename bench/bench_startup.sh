#!/usr/bin/env bash
# Start-up time: from launching the real executable on a private Xvfb server
# to its window "Velkrin" being mapped and viewable. One unmeasured warm-up
# run (it fills the font and shader caches), then RUNS measured runs; prints
# each and the median.
#
# Usage: bench/bench_startup.sh [executable] [runs]
#   executable  default: build-bench/app/velkrin in the source folder
#   runs        default: 5
#
# The window is looked for by polling `xdotool search --onlyvisible` every few
# milliseconds: `xdotool search --sync` waits half a second between its own
# tries, which would round every figure up to a multiple of 500 ms.
set -euo pipefail

exe=$(readlink -f "${1:-$(dirname "$0")/../build-bench/app/velkrin}")
runs=${2:-5}

for tool in Xvfb xdotool; do
  command -v "$tool" >/dev/null || { echo "bench_startup: $tool is not installed" >&2; exit 1; }
done
[[ -x $exe ]] || { echo "bench_startup: no executable at $exe" >&2; exit 1; }

work=$(mktemp -d)
xvfb_pid=
app_pid=
cleanup() {
  [[ -n $app_pid ]] && kill "$app_pid" 2>/dev/null && wait "$app_pid" 2>/dev/null
  [[ -n $xvfb_pid ]] && kill "$xvfb_pid" 2>/dev/null && wait "$xvfb_pid" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT

# A private display with a number of its own: Xvfb takes the lock file
# /tmp/.X<n>-lock and refuses a number in use, so try a few high numbers
# (test runs usually take the low ones). -noreset, because by default the
# server resets whenever its last client leaves, refuses the next program
# while it does, and would make every run pay for a fresh server; a desktop's
# X server does not do that between two programs.
display=
for n in $(shuf -i 300-899 -n 20); do
  [[ -e /tmp/.X$n-lock || -e /tmp/.X11-unix/X$n ]] && continue
  Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp -noreset >"$work/xvfb.log" 2>&1 &
  xvfb_pid=$!
  for _ in $(seq 100); do
    if ! kill -0 "$xvfb_pid" 2>/dev/null; then
      wait "$xvfb_pid" 2>/dev/null || true
      xvfb_pid=
      break
    fi
    if DISPLAY=":$n" xdotool getdisplaygeometry >/dev/null 2>&1; then
      display=":$n"
      break 2
    fi
    sleep 0.05
  done
  [[ -n $xvfb_pid ]] && kill "$xvfb_pid" 2>/dev/null && wait "$xvfb_pid" 2>/dev/null
  xvfb_pid=
done
[[ -n $display ]] || { echo "bench_startup: Xvfb did not start" >&2; cat "$work/xvfb.log" >&2; exit 1; }
export DISPLAY=$display
unset WAYLAND_DISPLAY
export QT_QPA_PLATFORM=xcb

# Milliseconds from launch to a viewable window; the program is closed after.
one_run() {
  local start end
  start=$(date +%s%N)
  (cd "$work" && exec "$exe") >"$work/app.log" 2>&1 &
  app_pid=$!
  until xdotool search --onlyvisible --name '^Velkrin$' >/dev/null 2>&1; do
    if ! kill -0 "$app_pid" 2>/dev/null; then
      echo "bench_startup: the program exited before showing its window" >&2
      cat "$work/app.log" >&2
      exit 1
    fi
    sleep 0.002
  done
  end=$(date +%s%N)
  kill "$app_pid" 2>/dev/null || true
  wait "$app_pid" 2>/dev/null || true
  app_pid=
  echo $(((end - start) / 1000000))
}

echo "Start-up to a shown window, $exe on Xvfb $DISPLAY"
warm=$(one_run)
echo "  warm-up run: $warm ms (not counted)"
times=()
for i in $(seq "$runs"); do
  t=$(one_run)
  times+=("$t")
  echo "  run $i: $t ms"
done
median=$(printf '%s\n' "${times[@]}" | sort -n | awk '{v[NR]=$1} END {print (NR % 2) ? v[(NR+1)/2] : (v[NR/2] + v[NR/2+1]) / 2}')
echo "Median of $runs runs: $median ms"
echo
echo "RESULT first_run_ms=$warm"
echo "RESULT median_ms=$median"
echo "RESULT runs=$runs"
