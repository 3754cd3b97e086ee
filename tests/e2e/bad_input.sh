#!/bin/bash
# Whatever a user types into the two count boxes: the program reads a leading
# number, warns about counts it cannot use, keeps running, and never loses the
# list. Each step sets a box, runs a short batch and saves; the saved file must
# keep every earlier password and add passwords of the expected shape. Saves
# that fail are bad_save.sh's, counts out of range bad_counts.sh's.
source "$(dirname "$0")/lib.sh"

# The program's folder is named in Latin-1, not valid UTF-8: every save below
# must still land beside the executable.
APP="$WORK/caf"$'\xe9'"/velkrin" TARGET="$WORK/caf"$'\xe9'"/target.txt"

# Without a display: one line on standard error and status 1, not an abort.
launch_app DISPLAY= WAYLAND_DISPLAY=
await_exit 10 "without a display"
((CLOSE_STATUS == 1)) && (($(wc -l <"$WORK/app.log") == 1)) ||
    fail "without a display the program ended with status $CLOSE_STATUS"
log "without a display: $(cat "$WORK/app.log")"

start_xvfb
start_app

batch 3 3 "start-up counts"

set_box letters "";        no_warning empty;     batch 0 3 "empty letters box"
set_box letters "abc";     no_warning letters;   batch 0 3 "letters only"
set_box letters "+5";      no_warning sign;      batch 5 3 "+5"
set_box letters "2.5";     no_warning decimal;   batch 2 3 "2.5 (half to even)"
set_box letters "3.5";     no_warning decimal;   batch 4 3 "3.5 (half to even)"
set_box letters "1e2";     no_warning exponent;  batch 100 3 "1e2"
set_box letters "7abc";    no_warning trailing;  batch 7 3 "7abc"
paste_box letters "é7";    no_warning accent;    batch 0 3 "é7"
paste_box letters "7漢字"; no_warning cjk;       batch 7 3 "7 and CJK text"

set_box letters "3"
batch 3 3 "3 and 3 again"
assert_alive "at the end"
log "$SAVED_LINES passwords saved in all"
log PASS
