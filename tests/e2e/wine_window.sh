#!/bin/bash
# Velkrin.exe under Wine on a private X server, driven by keyboard only along
# the designed tab order: Space on the off-window Create, Generate for a
# measured time, Stop, Save, Print through the tests' CUPS queue (also by
# Return), Ctrl+C on a list item, a count of 40000, and closing the window;
# then started maximised, which it refuses.
# usage: wine_window.sh <Velkrin.exe> <e2e build dir>; VELKRIN_WINEPREFIX is
# the build's Wine prefix. VELKRIN_SCREENSHOT: where to keep the window's picture.
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/cups-common.sh"
: "${VELKRIN_E2E_DIR:?build folder of the e2e tests}" "${VELKRIN_WINEPREFIX:?the Wine prefix of the build}"
WINE_RUN=$(cd "$(dirname "$0")/../win32" && pwd)/wine-run.sh
APP="$WORK/app/Velkrin.exe"
export WINEPREFIX=$VELKRIN_WINEPREFIX
# Wine's server and desktop process end with the test, and the next run's
# start on its own X server.
trap 'status=$?; /usr/lib/wine/wineserver -k 2>/dev/null; (exit $status); cleanup' EXIT
/usr/lib/wine/wineserver -k 2>/dev/null

CUPS_SERVER=$(cups_state_dir "$VELKRIN_E2E_DIR")/cups.sock
export CUPS_SERVER
DOCS="${CUPS_SERVER%/*}/out"
[[ $(lpstat -d 2>/dev/null) == *": $VELKRIN_TEST_QUEUE" ]] || fail "the test CUPS server is not running"

start_xvfb
mkdir -p "${APP%/*}"
cp "$VELKRIN_EXE" "$APP"
launch() { # [VAR=value...]; START: how Wine's start is to start it, if at all
    (cd "${APP%/*}" && export LANG=en_US.UTF-8 "$@" && exec "$WINE_RUN" ${START:+start /wait $START /unix} "$APP") \
        >"$WORK/app.log" 2>&1 &
    APP_PID=$!
    MAIN_WIN=$(timeout 60 xdotool search --sync --onlyvisible --name '^Velkrin$' 2>/dev/null | head -n 1)
    [[ -n $MAIN_WIN ]] || fail "the window titled \"Velkrin\" did not appear"
    xdotool windowfocus --sync "$MAIN_WIN"
    wait_until 10 window_painted || fail "the window was never painted"
}
launch
[[ $(client_size "$MAIN_WIN") == "218 483" ]] || fail "the client area is $(client_size "$MAIN_WIN"), not 218 x 483"
import -window "$MAIN_WIN" "$WORK/before.png"
[[ -n ${VELKRIN_SCREENSHOT:-} ]] && cp "$WORK/before.png" "$VELKRIN_SCREENSHOT"

# print_with <keys...>: the job that reaches the queue, as text in $WORK/page.txt.
print_with() {
    local before doc
    jobs() { ls "$DOCS" 2>/dev/null | grep '^[0-9]*\.pdf$' | sort -n; }
    before=$(jobs | wc -l)
    key "$@"
    wait_until 30 eval '(($(jobs | wc -l) > before))' || fail "nothing reached the printer"
    doc=$DOCS/$(jobs | tail -n 1)
    # Wine's printer driver writes PostScript.
    ps2pdf "$doc" "$WORK/page.pdf" && pdftotext -layout "$WORK/page.pdf" "$WORK/page.txt" || fail "cannot read $doc"
    pdffonts "$WORK/page.pdf" | grep -q Bold || fail "the page is not printed in a bold font"
}
check_page() { # password; the page's layout is the unit test's
    [[ $(sed -n 1p "$WORK/page.txt") == "Password Created $(date +%-m/%-d/%Y)" ]] || fail "heading: $(sed -n 1p "$WORK/page.txt")"
    [[ $(sed -n '3,$p' "$WORK/page.txt" | tr -d ' \f\n') == "$1" ]] || fail "not the password $1: $(cat "$WORK/page.txt")"
}

# The focus starts on the off-window Create: Space makes a password and
# nothing in view changes; Alt+P prints it.
key space
import -window "$MAIN_WIN" "$WORK/after.png"
[[ $(compare -metric AE "$WORK/before.png" "$WORK/after.png" null: 2>&1) == 0 ]] || fail "Space changed the view"
print_with alt+p
first=$(sed -n 4p "$WORK/page.txt" | tr -d ' \f')
[[ $first =~ ^[a-z]{3}[0-9]{3}$ ]] || fail "Space on Create made no 3+3 password: \"$first\""
check_page "$first"
# Alt+P gave cmdPrint the focus (not the Tab key, after which Wine makes a
# button the default one): Return presses it.
print_with Return
check_page "$first"
log "Space made $first; printed by Alt+P and by Return"

# cmdPrint has the focus now; from Create the order is txtLetters,
# txtNumbers, Check1, cmdPrint, List1, then Generate, Stop, Save.
key shift+Tab shift+Tab shift+Tab shift+Tab
key Tab Tab Tab Tab Tab Tab
# Rows of the list drawn: dark bands down a one-pixel squeeze of its inside.
rows_shown() {
    import -window "$MAIN_WIN" png:- | convert - -crop 150x300+6+76 +repage -colorspace gray -threshold 50% \
        -negate -scale '1x300!' -depth 8 txt:- 2>/dev/null |
        awk -F'[(),]' 'NR > 1 { dark = $3 > 0; if (dark && !was) n++; was = dark } END { print n + 0 }'
}
start_before=$EPOCHREALTIME
key space
start_after=$EPOCHREALTIME
wait_until 10 eval '(($(rows_shown) >= 15))' || fail "Generate filled no rows (shown: $(rows_shown))"
stop_before=$EPOCHREALTIME
key Tab space
stop_after=$EPOCHREALTIME
key Tab space
wait_until 10 test -s "$TARGET" || fail "Save wrote no target.txt beside Velkrin.exe"
assert_target_lines '[a-z]{3}[0-9]{3}'
count=$(target_count)
least=$(awk -v a="$start_after" -v b="$stop_before" 'BEGIN { printf "%d\n", (b - a) * 10 * 0.9 - 1 }')
most=$(batch_bound "$start_before" "$stop_after")
((count >= least && count <= most)) || fail "$count passwords in target.txt, expected $least to $most"
log "Generate for $(awk -v a="$start_after" -v b="$stop_before" 'BEGIN { printf "%.2f", b - a }') s: $count passwords saved"

print_with alt+p
check_page "$(target_lines | tail -n 1)"

# Ctrl+C on the list's first item, as a clipboard manager sees it.
key Tab Home ctrl+c
wait_until 5 eval '[[ $(xclip -o -selection clipboard 2>/dev/null) == "$(target_lines | head -n 1)" ]]' ||
    fail "Ctrl+C did not copy the first password"
for mark in ExcludeClipboardContentFromMonitorProcessing CanIncludeInClipboardHistory CanUploadToCloudClipboard; do
    xclip -o -selection clipboard -t TARGETS | grep -qx "$mark" || fail "the copy lacks the $mark format"
done
[[ $(xclip -o -selection clipboard -t CanIncludeInClipboardHistory | od -An -tx1 | tr -d ' ') == 00000000 ]] ||
    fail "CanIncludeInClipboardHistory is not 0"

# 40000 digits: a warning, and the program stays.
key shift+Tab shift+Tab shift+Tab
LC_ALL=C xdotool type --delay 30 40000
wait_warning "40000 digits"
xdotool windowfocus --sync "$DIALOG"
key Return
wait_until 5 eval '[[ -z $(other_velkrin_windows) ]]' || fail "the warning did not close on Return"
assert_alive "after the warning"

# Closing the window takes the copied password off the clipboard.
python3 "$(dirname "$0")/close_window.py" "$MAIN_WIN" || fail "could not close the window"
wait_until 15 eval '! kill -0 $APP_PID 2>/dev/null' || fail "the program did not end when its window was closed"
APP_PID=
[[ $(xclip -o -selection clipboard 2>/dev/null) != "$(target_lines | head -n 1)" ]] ||
    fail "the copied password stayed on the clipboard after the program ended"

# Started maximised, it opens at its own size; with no printer to be found,
# Print warns and the program stays.
START=/max launch CUPS_SERVER="$WORK/no-cups.sock"
[[ $(client_size "$MAIN_WIN") == "218 483" && $(xprop -id "$MAIN_WIN" _NET_WM_STATE) != *MAXIMIZED* ]] ||
    fail "started maximised, it is $(xprop -id "$MAIN_WIN" _NET_WM_STATE), client area $(client_size "$MAIN_WIN")"
key alt+p
wait_warning "no printer"
assert_alive "after the printer warning"
log PASS
