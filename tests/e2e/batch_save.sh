#!/bin/bash
# Batch mode and saving beyond what scenarios.sh checks on both hosts: the
# file is the owner's only, the list shows what was saved, Stop stops, a
# second batch appends, SIGHUP closes the program.
source "$(dirname "$0")/lib.sh"

start_xvfb
start_app

# cmdCreate -> txtLetters -> txtNumbers -> Check1 -> cmdPrint -> List1 -> Generate
key Tab Tab Tab Tab Tab Tab
key space
wait_for_list 10
key Tab space # Stop
save_with key Tab space # Save
count=$(target_count)
log "target.txt: $count lines, $(stat -c %s "$TARGET") bytes, mode $(stat -c %a "$TARGET")"
[[ $(stat -c %a "$TARGET") == 600 ]] || fail "target.txt should be readable by its owner only, mode is $(stat -c %a "$TARGET")"
shown=$(list_rows_shown)
((shown == count)) || fail "the list shows $shown passwords but $count were saved"
(($(target_lines | sort -u | wc -l) >= count - 1)) || fail "the batch repeats passwords: $(target_lines | tr '\n' ' ')"

# Stopped means stopped: a second save half a second (five ticks) later
# writes the same list. Nothing can be waited for here: the point is that
# nothing happens.
cp "$TARGET" "$WORK/first.txt"
sleep 0.5
save_with key space # focus is still on Save
cmp -s "$TARGET" "$WORK/first.txt" || fail "the list kept growing after Stop, or a second save differs"

# Generate again: new passwords are appended after the old ones.
key Tab Tab Tab Tab Tab Tab Tab # Save -> ... -> Generate (wraps through cmdCreate)
started=$EPOCHREALTIME
key space
wait_for_list $((count + 3))
key Tab space
save_with key Tab space
most=$(batch_bound "$started" "$EPOCHREALTIME")
count2=$(target_count)
((count2 >= count + 3 && count2 <= count + most)) || fail "a second batch made $((count2 - count)) passwords, expected 3 to $most"
cmp -s -n "$(stat -c %s "$WORK/first.txt")" "$TARGET" "$WORK/first.txt" || fail "the first batch is no longer at the head of the list"
assert_target_lines '[a-z]{3}[0-9]{3}'
assert_alive "after two batches"
log "second batch: $count2 lines in all"

# A closing terminal (SIGHUP) closes the program as its window's close button
# does: status 0, and the password copied with Ctrl+C leaves the clipboard.
click_control "Generated passwords"
key ctrl+c
wait_until 5 eval 'target_lines | grep -qx -- "$(xclip -o -selection clipboard 2>/dev/null)"' || fail "Ctrl+C copied no password"
kill -HUP "$APP_PID"
await_exit 10 "on SIGHUP"
((CLOSE_STATUS == 0)) || fail "SIGHUP ended the program with status $CLOSE_STATUS"
[[ -z $(xclip -o -selection clipboard 2>/dev/null) ]] || fail "the password stayed on the clipboard after SIGHUP"
log PASS
