#!/bin/bash
# What both hosts do alike, written once, keyboard only, along the tab order
# cmdCreate, txtLetters, txtNumbers, Check1, cmdPrint, List1, Generate, Stop,
# Save. An adapter only starts the program and reads it: host-qt.sh (the Qt
# window on X11) or host-wine.sh (Velkrin.exe under Wine). The list is read by
# saving it. usage: scenarios.sh <executable> <e2e build dir>; VELKRIN_HOST=qt|wine.
# The executable is the tests' build, whose copy leaves the clipboard after 2 s.
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/cups-common.sh"
: "${VELKRIN_E2E_DIR:?build folder of the e2e tests}"
source "$(dirname "$0")/host-${VELKRIN_HOST:-qt}.sh" || fail "no adapter for host ${VELKRIN_HOST:-}"
warning_text() { host_alert; }
export CUPS_SERVER=$(cups_state_dir "$VELKRIN_E2E_DIR")/cups.sock
[[ $(lpstat -d 2>/dev/null) == *": $VELKRIN_TEST_QUEUE" ]] || fail "the test CUPS server is not running"
start_xvfb
host_start
password_is() { [[ $(host_password) =~ ^[a-z]{3}[0-9]{3}$ && $(host_password) != "$1" ]]; }

# Create: the focus starts on the off-window Create; Space makes a 3 + 3
# password and nothing in view changes.
import -window "$MAIN_WIN" "$WORK/before.png"
key space && wait_until 10 password_is "" || fail "Space on Create made no 3+3 password: \"$(host_password)\""
first=$(host_password)
import -window "$MAIN_WIN" "$WORK/after.png"
[[ $(compare -metric AE "$WORK/before.png" "$WORK/after.png" null: 2>&1) == 0 ]] || fail "Space changed the view"
# Return presses the focused button (focused without Tab, after which Wine
# makes a button the default one).
key Return && wait_until 10 password_is "$first" || fail "Return on the focused Create made no new password"

# Print: today's date in the heading, the current password below, bold (the
# layout is the unit test's). Qt prints PDF, Wine's printer driver PostScript.
print_with() { # keys...
    local before
    jobs() { ls "${CUPS_SERVER%/*}/out" | grep '^[0-9]*\.pdf$' | sort -n; }
    before=$(jobs | wc -l)
    key "$@"
    wait_until 30 eval '(($(jobs | wc -l) > before))' || fail "nothing reached the printer"
    ps2pdf "${CUPS_SERVER%/*}/out/$(jobs | tail -n 1)" "$WORK/page.pdf" && pdftotext -layout "$WORK/page.pdf" "$WORK/page.txt" ||
        fail "cannot read the printed page"
    pdffonts "$WORK/page.pdf" | grep -q Bold || fail "the page is not printed in a bold font"
    [[ $(sed -n 1p "$WORK/page.txt") == "Password Created $(host_date)" ]] || fail "heading: $(sed -n 1p "$WORK/page.txt")"
    [[ $(sed -n '3,$p' "$WORK/page.txt" | tr -d ' \f\n') == "$(host_password)" ]] || fail "not $(host_password): $(cat "$WORK/page.txt")"
}
second=$(host_password) && print_with alt+p && print_with alt+p # the same page twice
[[ $(host_password) == "$second" ]] || fail "Print made a new password"
# Alt+C presses Create, taking the focus there where access keys move it (Wine).
key alt+c
wait_until 10 password_is "$second" || fail "Alt+C made no new password"

# Generate, Stop, Save: target.txt beside the executable, CR LF lines of 3
# letters and 3 digits, ten a second while the batch ran.
key Tab Tab Tab Tab Tab Tab
start=($EPOCHREALTIME) && key space && start+=($EPOCHREALTIME)
wait_until 10 eval '(($(host_count) >= 15))' || fail "Generate filled no list (it holds $(host_count))"
stop=($EPOCHREALTIME) && key Tab space && stop+=($EPOCHREALTIME)
save_with key Tab space
assert_target_lines '[a-z]{3}[0-9]{3}'
count=$(target_count) least=$(awk -v a="${start[1]}" -v b="${stop[0]}" 'BEGIN { printf "%d\n", (b - a) * 9 - 1 }')
most=$(batch_bound "${start[0]}" "${stop[1]}")
((count >= least && count <= most)) || fail "$count passwords in target.txt, expected $least to $most"
log "Generate for $(awk -v a="${start[1]}" -v b="${stop[0]}" 'BEGIN { printf "%.2f", b - a }') s: $count passwords saved"
(($(target_lines | sort -u | wc -l) >= count - 1)) || fail "the batch repeats passwords: $(target_lines | tr '\n' ' ')"
# Stopped means stopped: five ticks later Save writes the same list (nothing
# to poll for: the point is that nothing happens).
cp "$TARGET" "$WORK/first.txt" && sleep 0.5 && save_with key space
cmp -s "$TARGET" "$WORK/first.txt" || fail "the list kept growing after Stop, or a second save differs"
# Print (focused first, where Alt+P leaves it on both hosts) prints the last saved.
[[ $(host_password) == "$(target_lines | tail -n 1)" ]] || fail "the current password is not the last one listed"
key Tab Tab Tab Tab Tab
print_with alt+p

# Ctrl+C on the list's first row copies it; it leaves the clipboard 2 s later.
key Tab Home ctrl+c
copied=$EPOCHREALTIME
wait_until 5 eval '[[ $(clipboard_text) == "$(target_lines | head -n 1)" ]]' ||
    fail "Ctrl+C did not copy the first password"
wait_until 10 eval '[[ -z $(clipboard_text) ]]' || fail "the copy stayed on the clipboard"
cleared=$(awk -v a="$copied" -v b="$EPOCHREALTIME" 'BEGIN { printf "%.1f", b - a; exit !(b - a >= 1.9) }') ||
    fail "the copy left the clipboard after $cleared s, not 2 s"
log "the copy left the clipboard after $cleared s"

# 40000 letters warn, in a box of the window's own, and the program stays.
key shift+Tab shift+Tab shift+Tab shift+Tab
LC_ALL=C xdotool type --delay 30 40000
expect_warning "40000 letters"

# 16384 + 16383: a 32767-character password is saved whole.
key Tab shift+Tab # back into the letters box, its text selected
LC_ALL=C xdotool type --delay 30 16384 && key Tab && LC_ALL=C xdotool type --delay 30 16383
no_warning "16384 + 16383"
key Tab Tab Tab Tab space # Generate
wait_until 10 eval '(($(host_count) > count))' || fail "Generate added no 32767-character password"
key Tab space && save_with key Tab space
assert_target_lines '[a-z]+[0-9]+'
target_lines | tail -n 1 | awk '{ exit !(length($0) == 32767 && match($0, /[0-9]/) == 16385) }' ||
    fail "the last line saved is not 16384 letters and 16383 digits: $(target_lines | tail -n 1 | cut -c1-40)..."
cmp -s -n "$(stat -c %s "$WORK/first.txt")" "$TARGET" "$WORK/first.txt" || fail "the first batch is no longer the head of the list"

# Maximise is refused: the client area stays 218 x 483.
host_maximise && sleep 1 || fail "could not ask for maximise" # nothing to wait for: nothing must change
[[ $(client_size "$MAIN_WIN") == "218 483" ]] || fail "after a maximise request the client area is $(client_size "$MAIN_WIN")"
[[ $(xprop -id "$MAIN_WIN" _NET_WM_STATE) != *MAXIMIZED* ]] || fail "the window is maximised"

close_app
((CLOSE_STATUS == 0)) || fail "closing the window ended the program with status $CLOSE_STATUS"
host_finish
log PASS
