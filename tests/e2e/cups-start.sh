#!/bin/bash
# Test fixture: a CUPS server of the tests' own, listening only on a socket in
# the build folder, with one queue set as the default whose backend keeps each
# printed document. It runs beside any system CUPS without touching it, and
# starting it again reuses a server that is already up.
# usage: cups-start.sh <e2e-build-dir>
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source "$here/cups-common.sh"

[[ $(id -u) == 0 ]] || { echo "cupsd must be started as root" >&2; exit 1; }
command -v cupsd >/dev/null || { echo "cupsd is not installed" >&2; exit 1; }

state=$(cups_state_dir "$1")
export CUPS_SERVER="$state/cups.sock"
unset LPDEST PRINTER

scheduler_up() { lpstat -r 2>/dev/null | grep -q 'scheduler is running'; }

if [[ -f $state/cupsd.pid ]] && kill -0 "$(cat "$state/cupsd.pid")" 2>/dev/null && scheduler_up; then
    echo "reusing the test CUPS server at $CUPS_SERVER"
else
    if [[ -f $state/cupsd.pid ]]; then
        kill "$(cat "$state/cupsd.pid")" 2>/dev/null || true
    fi
    rm -rf "$state"
    mkdir -p "$state"/{etc/ppd,spool/tmp,cache,log,run,out,serverbin/backend}
    # Filters and helper daemons are the system's; the backend is ours.
    for part in cgi-bin daemon driver filter monitor notifier; do
        [[ -e /usr/lib/cups/$part ]] && ln -s "/usr/lib/cups/$part" "$state/serverbin/$part"
    done
    install -m 0700 "$here/capture-backend.sh" "$state/serverbin/backend/velkrin-capture"

    cat >"$state/etc/cupsd.conf" <<EOF
LogLevel info
Listen $state/cups.sock
Browsing No
WebInterface No
DefaultAuthType None
ErrorPolicy abort-job
PreserveJobFiles Yes
PreserveJobHistory Yes
MaxJobs 0
<Location />
  Order allow,deny
  Allow all
</Location>
<Policy default>
  <Limit All>
    Order deny,allow
  </Limit>
</Policy>
EOF
    cat >"$state/etc/cups-files.conf" <<EOF
SystemGroup root
ServerRoot $state/etc
RequestRoot $state/spool
TempDir $state/spool/tmp
CacheDir $state/cache
StateDir $state/run
ErrorLog $state/log/error_log
AccessLog $state/log/access_log
PageLog $state/log/page_log
ServerBin $state/serverbin
DataDir /usr/share/cups
FileDevice No
EOF
    # In the foreground of its own session, so its pid is ours to stop and
    # ctest does not wait on its output.
    setsid cupsd -f -c "$state/etc/cupsd.conf" -s "$state/etc/cups-files.conf" \
        </dev/null >>"$state/log/cupsd.out" 2>&1 &
    echo $! >"$state/cupsd.pid"
    for _ in $(seq 100); do
        scheduler_up && break
        kill -0 "$(cat "$state/cupsd.pid")" 2>/dev/null || break
        sleep 0.1
    done
    if ! scheduler_up; then
        echo "the test CUPS server did not start" >&2
        cat "$state/log/cupsd.out" "$state/log/error_log" >&2 2>/dev/null || true
        exit 1
    fi
    echo "started the test CUPS server at $CUPS_SERVER (pid $(cat "$state/cupsd.pid"))"
fi

# A raw queue: the backend receives the document exactly as the program sent it.
lpadmin -p "$VELKRIN_TEST_QUEUE" -E -v velkrin-capture:/
lpadmin -d "$VELKRIN_TEST_QUEUE"
cupsenable "$VELKRIN_TEST_QUEUE"
cupsaccept "$VELKRIN_TEST_QUEUE"
lpstat -d -p "$VELKRIN_TEST_QUEUE"
[[ $(lpstat -d) == *": $VELKRIN_TEST_QUEUE" ]] || { echo "the test queue is not the default" >&2; exit 1; }
