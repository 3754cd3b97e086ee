#!/bin/bash
# What the screen reader Orca speaks, read from its own debug log, which
# records each utterance ("SPEECH OUTPUT: '...'") with or without a speech
# server: the new password after Create, the new total once after an edit,
# "list" for List1, a count box read whole after the overflow warning, and
# nothing during batch mode. Under openbox, with a session bus of its own.
source "$(dirname "$0")/lib.sh"
for tool in orca openbox; do
    command -v "$tool" >/dev/null || fail "$tool is missing (see scripts/packages-test.txt)"
done
# Orca refuses to start beside another Orca of the same user.
# (One that has ended but is not yet reaped does not count.)
ps -u "$(id -u)" -o stat=,comm= | grep -q '^[^Z]\S* *orca$' && { echo "SKIP: an Orca of this user is running"; exit 77; }

ORCA_PID=
trap 'status=$?; kill $ORCA_PID 2>/dev/null && wait $ORCA_PID 2>/dev/null; (exit $status); cleanup' EXIT
# With a session bus and an accessibility bus of the test's own.
start_xvfb
start_wm openbox
# Orca runs this file of the user's at start: the log is written line by line,
# and speech stays on but finds no speech server, so Orca logs what it would
# say without starting speech-dispatcher (which can hang Orca on a machine
# without sound).
mkdir -p "$WORK/orca"
cat >"$WORK/orca/orca-customizations.py" <<'EOF_PY'
import orca.debug, orca.settings
orca.debug.debugFile.reconfigure(line_buffering=True)
orca.settings.speechServerFactory, orca.settings.speechFactoryModules = "none", []
EOF_PY
HOME="$WORK/home" orca -u "$WORK/orca" --debug-file "$WORK/orca.log" >"$WORK/orca.out" 2>&1 &
ORCA_PID=$!

said() { sed -n "s/.* - SPEECH OUTPUT: '\([^']*\)'.*/\1/p" "$WORK/orca.log" 2>/dev/null; }
mark() { MARK=$(said | wc -l); }
since() { said | tail -n +$((MARK + 1)); }
hears() {
    WANT=$1
    wait_until 20 eval 'since | grep -Eqx -- "$WANT"' || fail "Orca did not say \"$1\"; it said: $(since | tr '\n' '|')"
}
MARK=0
hears 'Screen reader on\.'
# Under AddressSanitizer, unwind allocations fully, so that the key events Qt's
# accessibility bridge still holds for Orca at exit can be told apart from ours
# (see tests/sanitizers/lsan.supp).
start_app ${ASAN_OPTIONS:+"ASAN_OPTIONS=$ASAN_OPTIONS:fast_unwind_on_malloc=0"}
hears 'Create password push button\.'

mark
key space
hears '[a-z]{3}[0-9]{3}\.'
spoken=$(since | grep -Ex '[a-z]{3}[0-9]{3}\.')
shown=$(atspi name "Current password")
[[ $spoken == "$shown." ]] || fail "Orca said \"$spoken\" after Create; the password is \"$shown\""

key Tab
hears 'Number of letters text\.'
mark
type_over 5
hears '8 Random Characters\.'

type_over 40000
wait_warning "40000 letters"
warning_text | grep -q "number of letters must lie between" || fail "AT-SPI does not show the warning's text"
mark
dismiss_warning
hears 'Number of letters text\.'
hears '40000\.'
grep -q "No password can be made" <<<"$(atspi tree)" || fail "the boxes still describe a strength after 40000 was refused"
type_over 3 # counts that fit again, or Generate would refuse them

mark
key Tab Tab Tab Tab
hears 'list\.'
key Tab
mark
key Return
wait_for_list 5
key Tab Return
since | grep -Eqx '[a-z]+[0-9]+\.' && fail "Orca spoke during batch mode: $(since | tr '\n' '|')"
atspi tree >"$WORK/tree.txt"
items=$(grep -c " list item " "$WORK/tree.txt")
grep -Eq "^ *$items/$items list item \"[a-z]+[0-9]{3}\"" "$WORK/tree.txt" ||
    fail "the list items do not tell their position (see $WORK/tree.txt)"

(($(said | grep -cx '8 Random Characters\.') == 1)) || fail "the total was not spoken exactly once"
(($(said | grep -cx "$spoken") == 1)) || fail "the password was not spoken exactly once"
log "Orca said: $(said | tr '\n' '|' | cut -c1-600)"
terminate_app
