# Velkrin.exe under Wine for scenarios.sh (sourced after lib.sh), read through
# the tests' probe (tests/win32/probe.cpp). VELKRIN_WINEPREFIX: the build's
# Wine prefix; VELKRIN_PROBE: the probe.
: "${VELKRIN_WINEPREFIX:?the Wine prefix of the build}" "${VELKRIN_PROBE:?the probe executable}"
WINE_RUN=$(cd "$(dirname "${BASH_SOURCE[0]}")/../win32" && pwd)/wine-run.sh
APP="$WORK/app/Velkrin.exe"
export WINEPREFIX=$VELKRIN_WINEPREFIX
# Wine's server and desktop process end with the test, and the next run's
# start on its own X server.
trap 'status=$?; /usr/lib/wine/wineserver -k 2>/dev/null; (exit $status); cleanup' EXIT
/usr/lib/wine/wineserver -k 2>/dev/null

host_start() { # [VAR=value...]; START: how Wine's start is to start it, if at all
    mkdir -p "${APP%/*}" && cp "$VELKRIN_EXE" "$APP" && cp "$VELKRIN_PROBE" "$WORK/probe.exe"
    (cd "${APP%/*}" && export LANG=en_US.UTF-8 "$@" && exec "$WINE_RUN" ${START:+start /wait $START /unix} "$APP") \
        >"$WORK/app.log" 2>&1 &
    APP_PID=$!
    MAIN_WIN=$(timeout 60 xdotool search --sync --onlyvisible --name '^Velkrin$' 2>/dev/null | head -n 1)
    [[ -n $MAIN_WIN ]] && xdotool windowfocus --sync "$MAIN_WIN" || fail "the window titled \"Velkrin\" did not appear"
    wait_until 10 window_painted || fail "the window was never painted"
}
probe() { "$WINE_RUN" "$WORK/probe.exe" "$@" 2>/dev/null | tr -d '\r'; }
host_password() { probe password; }
host_count() { probe count; }
host_alert() { probe alert; }
host_maximise() { probe maximize; }
host_date() { date +%-m/%-d/%Y; } # Wine's short date for en_US
host_finish() { # started maximised, it opens at its own size; with no printer, Print warns
    START=/max host_start CUPS_SERVER="$WORK/no-cups.sock"
    [[ $(client_size "$MAIN_WIN") == "218 483" && $(xprop -id "$MAIN_WIN" _NET_WM_STATE) != *MAXIMIZED* ]] ||
        fail "started maximised, it is $(xprop -id "$MAIN_WIN" _NET_WM_STATE), client area $(client_size "$MAIN_WIN")"
    screen_reader_asks
    key alt+p
    expect_warning "no printer"
}
# What a screen reader asks, from another process: the password Create makes
# announced, every control's name, each row's name.
screen_reader_asks() {
    local answer
    answer=$(probe rows) || fail "the list's rows: $answer"
    "$WINE_RUN" "$WORK/probe.exe" listen >"$WORK/heard" 2>/dev/null & # unpiped: "ready" comes at once
    local listener=$!
    wait_until 10 grep -q '^ready' "$WORK/heard" || fail "the probe could not listen"
    key alt+c
    wait $listener || fail "$(tr -d '\r' <"$WORK/heard")"
    answer=$(sed -n 2p "$WORK/heard" | tr -d '\r')
    [[ $answer == "$(host_password)" ]] || fail "announced \"$answer\", not the password"
    answer=$(probe names) || fail "a control has no accessible name: $(tr '\n' ' ' <<<"$answer")"
    key Tab Tab Tab Tab Tab Tab space # Generate
    wait_until 10 eval '(($(host_count) >= 3))' || fail "Generate filled no list"
    key Tab space # Stop
    answer=$(probe rows) || fail "$answer"
    grep -qvxE '[a-z]{3}[0-9]{3}' <<<"$answer" && fail "rows named $(tr '\n' ' ' <<<"$answer")"
    [[ $(wc -l <<<"$answer") == "$(host_count)" && $(tail -n 1 <<<"$answer") == "$(host_password)" ]] ||
        fail "$(wc -l <<<"$answer") rows named, the last \"$(tail -n 1 <<<"$answer")\""
    log "screen reader: the password announced, every control named, $(host_count) rows named"
}
