#!/bin/bash
# Test fixture cleanup: stops the tests' own CUPS server (see cups-start.sh).
# usage: cups-stop.sh <e2e-build-dir>
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source "$here/cups-common.sh"

state=$(cups_state_dir "$1")
[[ -f $state/cupsd.pid ]] || exit 0
pid=$(cat "$state/cupsd.pid")
if kill "$pid" 2>/dev/null; then
    for _ in $(seq 50); do
        kill -0 "$pid" 2>/dev/null || break
        sleep 0.1
    done
    kill -9 "$pid" 2>/dev/null || true
fi
rm -f "$state/cupsd.pid"
echo "stopped the test CUPS server (pid $pid)"
