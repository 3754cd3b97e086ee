#!/bin/bash
# Batch mode and saving beyond what scenarios.sh checks on both hosts: the
# file is the owner's only, the list shows what was saved, SIGHUP closes the
# program.
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

# A closing terminal (SIGHUP) closes the program as its window's close button
# does: status 0, and the password copied with Ctrl+C leaves the clipboard.
click_control "Generated passwords"
key Home ctrl+c
wait_until 5 eval 'target_lines | grep -qx -- "$(clipboard_text)"' || fail "Ctrl+C copied no password"
kill -HUP "$APP_PID"
await_exit 10 "on SIGHUP"
((CLOSE_STATUS == 0)) || fail "SIGHUP ended the program with status $CLOSE_STATUS"
[[ -z $(clipboard_text) ]] || fail "the password stayed on the clipboard after SIGHUP"
log PASS
