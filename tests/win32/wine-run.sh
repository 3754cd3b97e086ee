#!/bin/bash
# Runs a Windows program under 64-bit Wine in a prefix of the build's own,
# made on first use (about 20 s) with Wine's fonts linked in. CTest uses it as
# the emulator of cross-compiled tests, the end-to-end scripts to start the
# program.
# usage: wine-run.sh <program.exe> [arguments...]
# WINEPREFIX: the prefix (default: wineprefix beside this build's tests).
set -euo pipefail
: "${WINEPREFIX:=${VELKRIN_WINEPREFIX:?the build folder sets VELKRIN_WINEPREFIX}}"
export WINEPREFIX WINEDEBUG=${WINEDEBUG:--all} WINEARCH=win64
export WINELOADER=/usr/lib/wine/wine64 WINESERVER=/usr/lib/wine/wineserver
# No Mono or Gecko download prompts: the program needs neither.
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}
# Wine names files in the locale's character set: without UTF-8 a folder
# named "été" cannot exist for it.
[[ $(locale charmap 2>/dev/null) == UTF-8 ]] || export LC_ALL=C.UTF-8

mkdir -p "$(dirname "$WINEPREFIX")"
(
    # One creator at a time; others wait for the finished prefix.
    flock 9
    if [[ ! -f $WINEPREFIX/.velkrin-ready ]]; then
        rm -rf "$WINEPREFIX"
        "$WINELOADER" wineboot -i </dev/null >"$WINEPREFIX.log" 2>&1 ||
            { cat "$WINEPREFIX.log" >&2; exit 1; }
        "$WINESERVER" -w
        # fonts-wine's fonts (MS Sans Serif among them) reach no new prefix
        # by themselves.
        for font in /usr/share/wine/fonts/*; do
            ln -sf "$font" "$WINEPREFIX/drive_c/windows/Fonts/"
        done
        touch "$WINEPREFIX/.velkrin-ready"
    fi
) 9>"$WINEPREFIX.lock"

# The server and Wine's own services (started by wineboot) stay for 30 s
# after the last program ends, so a run of many test programs starts them
# once. Started here with their own input and output, they hold no pipe of
# the caller (CTest waits for the end of the test's output).
"$WINESERVER" -p30 </dev/null >/dev/null 2>&1 || true
"$WINELOADER" wineboot </dev/null >/dev/null 2>&1 || true
exec "$WINELOADER" "$@"
