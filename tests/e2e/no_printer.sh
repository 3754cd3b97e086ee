#!/bin/bash
# Print with no default printer: the program warns in a message box, keeps
# running, and its list is still saved whole. CUPS is pointed at a socket
# nothing listens on, so there is no printer at all.
source "$(dirname "$0")/lib.sh"

start_xvfb
nowhere="$WORK/no-cups.sock"
start_app CUPS_SERVER="$nowhere"

# Some passwords first, saved.
click_control Generate
wait_for_list 3
click_control Stop
save_with click_control Save
count=$(target_count)
((count >= 3)) || fail "the batch made only $count passwords"
cp "$TARGET" "$WORK/before.txt"

# Print (Alt+P): a warning titled "Velkrin" names the cause.
key alt+p
expect_warning "Print with no default printer"
grep -q 'no default printer is available\.' <<<"$WARNING_TEXT" ||
    fail "the message box does not say that no default printer is available: $WARNING_TEXT"

# The list is intact: saving writes every password again.
save_with click_control Save
cmp -s "$TARGET" "$WORK/before.txt" || fail "the list changed after the failed print"

# Print while the batch runs: the batch stops before the warning shows, so
# exactly one box opens and the list stops growing.
click_control Generate
wait_for_list $((count + 3))
key alt+p
wait_warning "Print during batch mode"
sleep 0.5 # five ticks: a batch still running would open more boxes
(($(other_velkrin_windows | wc -l) == 1)) || fail "the batch kept running behind the message box"
dismiss_warning
assert_alive "after the second print warning"
save_with click_control Save
cp "$TARGET" "$WORK/after.txt"
count2=$(target_count)
((count2 > count)) || fail "the batch before the print added nothing"
cmp -s -n "$(stat -c %s "$WORK/before.txt")" "$TARGET" "$WORK/before.txt" || fail "the earlier passwords are no longer at the head of the list"
assert_target_lines '[a-z]{3}[0-9]{3}'
sleep 0.5 # five ticks: the batch must not go on
save_with click_control Save
cmp -s "$TARGET" "$WORK/after.txt" || fail "batch mode went on after the warning"

# The program still works: a new batch after the failure.
click_control Generate
wait_for_list $((count2 + 1))
click_control Stop
save_with click_control Save
(($(target_count) > count2)) || fail "Generate no longer works after the warning"
assert_alive "at the end"
log PASS
