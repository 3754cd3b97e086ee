#!/bin/bash
# Printing through a real CUPS queue that is the default printer: the queue's
# backend keeps each document, and pdftotext reads back what was printed.
# Needs the test CUPS server (fixture cups-start.sh) and VELKRIN_E2E_DIR.
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/cups-common.sh"
: "${VELKRIN_E2E_DIR:?build folder of the e2e tests}"

CUPS_STATE=$(cups_state_dir "$VELKRIN_E2E_DIR")
export CUPS_SERVER="$CUPS_STATE/cups.sock"
unset LPDEST PRINTER
lpstat -r 2>/dev/null | grep -q 'scheduler is running' || fail "the test CUPS server is not running at $CUPS_SERVER"
[[ $(lpstat -d 2>/dev/null) == *": $VELKRIN_TEST_QUEUE" ]] || fail "$VELKRIN_TEST_QUEUE is not the default printer"
DOCS="$CUPS_STATE/out"
cupsenable "$VELKRIN_TEST_QUEUE" && cupsaccept "$VELKRIN_TEST_QUEUE" # as a failed run may have left it

documents() { ls -1 "$DOCS" 2>/dev/null | grep -E '^[0-9]+\.pdf$' | sort -n; }

# print_with <command...>: runs the command that prints, waits for the job to
# reach the queue's backend and sets DOC to the document that arrived.
print_with() {
    local before new
    before=$(documents)
    DATE_BEFORE=$(expected_date)
    "$@"
    wait_until 20 eval '[[ -n $(comm -13 <(echo "$before") <(documents)) ]]' ||
        fail "nothing reached the printer after: $*"
    DATE_AFTER=$(expected_date)
    new=$(comm -13 <(echo "$before") <(documents))
    (($(wc -l <<<"$new") == 1)) || fail "one print made several jobs: $new"
    DOC="$DOCS/$new"
    cp "$DOC" "$WORK/printed-$new"
    [[ $(head -c 5 "$DOC") == %PDF- ]] || fail "the printed document is not a PDF"
    pdftotext -layout "$DOC" "$WORK/page.txt" || fail "pdftotext cannot read the printed document"
    log "printed job $new: $(tr '\n' '|' <"$WORK/page.txt" | tr -s ' ' | cut -c1-200)"
}

# Today's date in the short format of the C locale, which the program runs
# in here (scenarios.sh checks American English's).
expected_date() { LC_ALL=C date '+%-d %b %Y'; }

# check_page <password or empty>: the page shows today's date in the heading
# and the password below the rule (the page's layout is the unit test's).
check_page() {
    local heading
    heading=$(sed -n 1p "$WORK/page.txt")
    [[ $heading == "Password Created $DATE_BEFORE" || $heading == "Password Created $DATE_AFTER" ]] ||
        fail "the heading reads \"$heading\", expected today's date \"$DATE_AFTER\""
    [[ $(printed_password) == "$1" ]] || fail "the page shows \"$(printed_password)\", not the password \"$1\""
}

printed_password() { tr -d '\f' <"$WORK/page.txt" | awk 'NR > 2 && NF {print $1}'; }

start_xvfb
start_app CUPS_SERVER="$CUPS_SERVER" LANG=C.UTF-8
# No password made yet: the page has none.
print_with key alt+p
check_page ""

# Printing while the batch runs prints a password of the batch.
saved_before=$(list_count)
click_control Generate
wait_for_list $((saved_before + 3))
print_with key alt+p
wait_for_list $((saved_before + 6))
click_control Stop
save_with click_control Save
during=$(printed_password)
check_page "$during"
target_lines | tail -n +"$((saved_before + 1))" | grep -qx -- "$during" ||
    fail "the password printed during the batch ($during) is not among the new passwords"
assert_alive "after printing"

# A queue that rejects jobs: a warning, nothing printed. A stopped queue holds
# the job silently and prints it once started again.
cupsreject "$VELKRIN_TEST_QUEUE" || fail "cupsreject failed"
before=$(documents)
key alt+p
expect_warning "Print to a queue that rejects jobs"
cupsaccept "$VELKRIN_TEST_QUEUE"
grep -q "\"$VELKRIN_TEST_QUEUE\" refused the job" <<<"$WARNING_TEXT" || fail "the warning does not say the queue refused: $WARNING_TEXT"
[[ $(documents) == "$before" ]] || fail "a rejected job was printed"
cupsdisable "$VELKRIN_TEST_QUEUE" || fail "cupsdisable failed"
held() { [[ -n $(lpstat -o "$VELKRIN_TEST_QUEUE") ]] && [[ -z $(other_velkrin_windows) ]]; }
print_with eval 'key alt+p; wait_until 10 held || fail "the stopped queue holds no job, or a box opened"; cupsenable "$VELKRIN_TEST_QUEUE"'
check_page "$(atspi name "Current password")"

# A password wider than the page wraps at its edge, over pages if need be, and
# every character reaches the paper.
click_control "Number of digits"
type_over 0
for letters in 100 32767; do
    click_control "Number of letters"
    type_over "$letters"
    before=$(list_count)
    click_control Generate
    wait_for_list $((before + 1))
    click_control Stop
    save_with click_control Save
    (($(target_lines | tail -n 1 | tr -d '\n' | wc -c) == letters)) || fail "no $letters-letter password was made"
    print_with key alt+p
    pdftotext "$DOC" - | tail -n +3 | tr -d ' \n\f' >"$WORK/printed.txt"
    [[ $(cat "$WORK/printed.txt") == "$(target_lines | tail -n 1)" ]] ||
        fail "$(wc -c <"$WORK/printed.txt") of $letters letters were printed"
    log "$letters letters printed whole on $(pdfinfo "$DOC" | awk '/^Pages:/ {print $2}') page(s)"
done

lpstat -W completed -o "$VELKRIN_TEST_QUEUE" >/dev/null || fail "lpstat cannot list the completed jobs"
log PASS
