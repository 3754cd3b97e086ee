#!/usr/bin/env bash
# Runs every benchmark in one go and prints a Markdown table of the figures.
#
# Usage: bench/run-all.sh [build-dir] [tick-seconds] [count]
#   build-dir     Release build folder; configured here if it is not yet
#                 (default /work/main/build-bench)
#   tick-seconds  how long batch mode runs with the real timer (default 60;
#                 e.g. 5 for a quick run)
#   count         passwords per generation run, also given to pwgen
#                 (default 1000000)
#
# Only the benchmark programs and the executable are built. Nothing here
# passes or fails on speed; the figures depend on the machine and its load.
set -euo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
source_dir=$(cd "$here/.." && pwd)
build=${1:-/work/main/build-bench}
tick_seconds=${2:-60}
count=${3:-1000000}
list_items=1000000

if [[ ! -f $build/build.ninja ]]; then
  cmake -S "$source_dir" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DVELKRIN_BUILD_BENCH=ON >/dev/null
fi
build_type=$(sed -n 's/^CMAKE_BUILD_TYPE:[A-Z]*=//p' "$build/CMakeCache.txt")
if [[ $build_type != Release ]]; then
  echo "run-all: $build is a '${build_type:-unset}' build; the figures mean little outside Release" >&2
fi
ninja -C "$build" -j2 bench_generation bench_list bench_ticks velkrin >/dev/null

out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT

# run <name> <command...>: shows a benchmark's report on stderr and keeps it
# for the table; a failing benchmark leaves its cells empty and its errors
# shown, and the others still run.
run() {
  local name=$1
  shift
  echo "== $name" >&2
  if ! "$@" >"$out/$name" 2>"$out/$name.err"; then
    echo "run-all: $name failed:" >&2
    cat "$out/$name.err" >&2
  fi
  cat "$out/$name" >&2
  echo >&2
}

run generation "$build/bench/bench_generation" "$count"
QT_QPA_PLATFORM=offscreen run list "$build/bench/bench_list" "$list_items"
run startup "$here/bench_startup.sh" "$build/app/velkrin" 5
QT_QPA_PLATFORM=offscreen run ticks "$build/bench/bench_ticks" "$tick_seconds"

# value <benchmark> <key>: the figure a benchmark printed as RESULT key=value,
# or nothing.
value() { sed -n "s/^RESULT $2=//p" "$out/$1" | tail -n 1; }

# Number formatting: fmt <printf format> <value>, "–" when the value is missing.
fmt() { [[ -n $2 ]] && LC_ALL=C awk -v f="$1" -v v="$2" 'BEGIN { printf f, v }' || printf '–'; }
ratio() { [[ -n $1 && -n $2 ]] && LC_ALL=C awk -v a="$1" -v b="$2" 'BEGIN { printf "%.1f ×", a / b }' || printf '–'; }
millions() { [[ -n $1 ]] && LC_ALL=C awk -v v="$1" 'BEGIN { printf "%.2f M/s", v / 1e6 }' || printf '–'; }
grouped() { [[ -n $1 ]] && printf '%d' "$1" | sed ':a;s/\B[0-9]\{3\}\>/,&/;ta' || printf '–'; }
thousands() { [[ -n $1 ]] && LC_ALL=C awk -v v="$1" 'BEGIN { printf "%.0f k/s", v / 1e3 }' || printf '–'; }

sep=$(value generation separate_per_s)
mix=$(value generation mixed_per_s)
pwgen=$(value generation pwgen_per_s)
sys=$(value generation getrandom_per_s)
uni=$(value generation sodium_uniform_per_s)
append_s=$(value list append_s)
items=$(value list items)
save_s=$(value list save_s)
file_bytes=$(value list file_bytes)
late_tick=$(value list late_tick_ms)

cat <<EOF
## Performance

Release build, one thread unless said otherwise; $(nproc) cores, $(uname -sr), $(date -u +%Y-%m-%d).

| Measurement | Figure | Ratio |
|---|---|---|
| Passwords/s, 3 letters + 3 digits (ComposePassword, libsodium source) | $(millions "$sep") | $(ratio "$sep" "$pwgen") pwgen -s |
| Passwords/s, 6 mixed characters | $(millions "$mix") | $(ratio "$mix" "$pwgen") pwgen -s |
| \`pwgen -s -1 6 $(grouped "$count")\` (whole process) | $(thousands "$pwgen") | 1 × |
| One getrandom(2) per character, 3+3 | $(thousands "$sys") | 3+3 is $(ratio "$sep" "$sys") faster |
| One randombytes_uniform() per character, 3+3 | $(thousands "$uni") | 3+3 is $(ratio "$sep" "$uni") faster |
| Append $(grouped "$items") items to the list, view shown | $(fmt "%.3f s" "$append_s") | $(LC_ALL=C awk -v s="$append_s" -v n="$items" 'BEGIN { if (s != "" && n != "") printf "%.0f ns/item", s * 1e9 / n; else printf "–" }') |
| Resident memory per item, list alone / with the view's layout | $(fmt "%.1f B" "$(value list bytes_per_item)") / $(fmt "%.1f B" "$(value list bytes_per_item_with_view)") | $(fmt "%.1f MiB" "$(LC_ALL=C awk -v a="$(value list rss_after_bytes)" -v b="$(value list rss_before_bytes)" 'BEGIN { print (a - b) / 1048576 }')") for the list |
| View: first event pass after the burst / scroll to bottom and repaint | $(fmt "%.1f ms" "$(value list first_events_ms)") / $(fmt "%.1f ms" "$(value list scroll_bottom_ms)") | |
| One more item + event pass at that size | $(fmt "%.1f ms" "$late_tick") | $(LC_ALL=C awk -v t="$late_tick" 'BEGIN { if (t != "") printf "%.0f %% of a 100 ms tick", t; else printf "–" }') |
| SaveList of $(grouped "$(value list saved_items)") items | $(fmt "%.3f s" "$save_s") | $(grouped "$file_bytes") bytes |
| Start-up to a shown window (Xvfb, median of $(value startup runs)) | $(fmt "%.0f ms" "$(value startup median_ms)") | first run $(fmt "%.0f ms" "$(value startup first_run_ms)") |
| Batch mode, items per minute ($(fmt "%.0f s" "$(value ticks seconds)"), real timer) | $(fmt "%.1f" "$(value ticks per_minute)") | ideal 600, $(fmt "%+.2f %%" "$(value ticks deviation_percent)") |
| Batch mode, tick interval mean / max | $(fmt "%.2f ms" "$(value ticks interval_mean_ms)") / $(fmt "%.1f ms" "$(value ticks interval_max_ms)") | ideal 100 ms |
EOF
