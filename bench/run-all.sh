#!/usr/bin/env bash
# Runs every benchmark in one go and prints a Markdown table of the figures.
#
# Usage: bench/run-all.sh [build-dir] [tick-seconds] [count]
#   build-dir     Release build folder; configured here if it is not yet
#                 (default build-bench in the source folder)
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
build=${1:-$source_dir/build-bench}
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
# The machine the figures belong to: other programs' load changes the
# elapsed-time ones, so the load is taken before and after.
cpu=$(sed -n 's/^model name[[:space:]]*: //p' /proc/cpuinfo | head -n 1)
load_start=$(cut -d' ' -f1-3 /proc/loadavg)

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
# The longest passwords, where the list's painting once cost more than a tick.
QT_QPA_PLATFORM=offscreen run ticks_long "$build/bench/bench_ticks" 15 32767 0
QT_QPA_PLATFORM=offscreen run ticks_mixed "$build/bench/bench_ticks" 15 32767 0 mixed

# value <benchmark> <key>: the figure a benchmark printed as RESULT key=value,
# or nothing.
value() { sed -n "s/^RESULT $2=//p" "$out/$1" | tail -n 1; }

# Number formatting: fmt <printf format> <value>, "–" when the value is missing.
fmt() { [[ -n $2 ]] && LC_ALL=C awk -v f="$1" -v v="$2" 'BEGIN { printf f, v }' || printf '–'; }
ratio() { [[ -n $1 && -n $2 ]] && LC_ALL=C awk -v a="$1" -v b="$2" 'BEGIN { printf "%.1f ×", a / b }' || printf '–'; }
millions() { [[ -n $1 ]] && LC_ALL=C awk -v v="$1" 'BEGIN { printf "%.2f M/s", v / 1e6 }' || printf '–'; }
grouped() { [[ -n $1 ]] && printf '%d' "$1" | sed ':a;s/\B[0-9]\{3\}\>/,&/;ta' || printf '–'; }
thousands() { [[ -n $1 ]] && LC_ALL=C awk -v v="$1" 'BEGIN { printf "%.0f k/s", v / 1e3 }' || printf '–'; }

g() { value generation "$1"; }
sep=$(g separate_per_cpu_s) mix=$(g mixed_per_cpu_s) pwgen=$(g pwgen_per_cpu_s)
sys=$(g getrandom_per_cpu_s) uni=$(g sodium_uniform_per_cpu_s)
items=$(value list items)
late_tick=$(value list late_tick_ms)
late_tick_cpu=$(value list late_tick_cpu_ms)
per_item_ns() { [[ -n $1 && -n $items ]] && LC_ALL=C awk -v s="$1" -v n="$items" 'BEGIN { printf "%.0f ns", s * 1e9 / n }' || printf '–'; }
load=$(cut -d' ' -f1-3 /proc/loadavg)

cat <<EOF
## Performance

Release build; $(nproc) cores (${cpu:-CPU model unknown}), $(uname -sr), $(date -u +%Y-%m-%d); load average
(1, 5, 15 min) $load_start at the start, $load at the end.
Rates are per second of processor time of the one thread doing the work
(what one core does), with elapsed-time figures beside them; the two agree on
an idle machine and differ when other programs share it. Ratios use processor time.

| Measurement | Figure (processor time) | Elapsed time | Ratio |
|---|---|---|---|
| Passwords/s, 3 letters + 3 digits (ComposePassword, each password's bytes drawn from the OS as it is made, 1 thread) | $(millions "$sep") | $(millions "$(g separate_per_s)") | $(ratio "$sep" "$pwgen") pwgen -s |
| Passwords/s, 6 mixed characters | $(millions "$mix") | $(millions "$(g mixed_per_s)") | $(ratio "$mix" "$pwgen") pwgen -s |
| One password of 16384 letters + 16383 digits | $(fmt "%.2f ms" "$(g long_password_cpu_ms)") | | |
| \`pwgen -s -1 6 $(grouped "$count")\` (whole process, user + system time) | $(thousands "$pwgen") | $(thousands "$(g pwgen_per_s)") | 1 × |
| One getrandom(2) per character, 3+3 | $(thousands "$sys") | $(thousands "$(g getrandom_per_s)") | 3+3 is $(ratio "$sep" "$sys") faster |
| One randombytes_uniform() per character, 3+3 | $(thousands "$uni") | $(thousands "$(g sodium_uniform_per_s)") | 3+3 is $(ratio "$sep" "$uni") faster |
| Append $(grouped "$items") items to the list, list view shown | $(fmt "%.3f s" "$(value list append_cpu_s)") | $(fmt "%.3f s" "$(value list append_s)") | $(per_item_ns "$(value list append_cpu_s)") per item |
| Resident memory per item: list alone / with the view's row layout | $(fmt "%.1f B" "$(value list bytes_per_item)") / $(fmt "%.1f B" "$(value list bytes_per_item_with_view)") | | $(LC_ALL=C awk -v a="$(value list rss_after_bytes)" -v b="$(value list rss_before_bytes)" 'BEGIN { printf "%.1f MiB for the list", (a - b) / 1048576 }') |
| View after the burst: first event pass / scroll to bottom and repaint | | $(fmt "%.1f ms" "$(value list first_events_ms)") / $(fmt "%.1f ms" "$(value list scroll_bottom_ms)") | |
| One more item + event pass at that size (a batch tick's list cost) | $(fmt "%.1f ms" "$late_tick_cpu") | $(fmt "%.1f ms" "$late_tick") | $(LC_ALL=C awk -v t="$late_tick_cpu" 'BEGIN { if (t != "") printf "%.0f %% of a 100 ms tick", t; else printf "–" }') |
| SaveList of $(grouped "$(value list saved_items)") items | $(fmt "%.3f s" "$(value list save_cpu_s)") | $(fmt "%.3f s" "$(value list save_s)") | $(grouped "$(value list file_bytes)") bytes |
| Start-up to a shown window (Xvfb, median of $(value startup runs)) | | $(fmt "%.0f ms" "$(value startup median_ms)") | first run $(fmt "%.0f ms" "$(value startup first_run_ms)") |
| Batch mode, items per minute ($(fmt "%.0f s" "$(value ticks seconds)"), real timer) | | $(fmt "%.1f" "$(value ticks per_minute)") | ideal 600, $(fmt "%+.2f %%" "$(value ticks deviation_percent)") |
| Batch mode, tick interval mean / max | | $(fmt "%.2f ms" "$(value ticks interval_mean_ms)") / $(fmt "%.1f ms" "$(value ticks interval_max_ms)") | ideal 100 ms |
| Batch mode at 32,767 characters, items per second (15 s): separate / mixed | $(fmt "%.0f %%" "$(value ticks_long cpu_percent)") / $(fmt "%.0f %%" "$(value ticks_mixed cpu_percent)") of a core | $(fmt "%.2f" "$(value ticks_long per_second)") / $(fmt "%.2f" "$(value ticks_mixed per_second)") | ideal 10 |
EOF
