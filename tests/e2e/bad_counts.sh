#!/bin/bash
# Counts the program cannot use: too large, too long, a sum above 32767,
# negative in batch mode. Create and Generate warn once per fault, the batch
# stops having added nothing, and the list loses nothing.
source "$(dirname "$0")/lib.sh"

start_xvfb
start_app

# Too large: while the box shows a count that does not fit, Create and
# Generate warn rather than use the last count that did.
set_box letters "40000"
expect_warning "40000 letters"
key alt+c
FOCUS=create
expect_warning "Create with 40000 letters shown"
batch_refused "Generate with 40000 letters shown"

set_box letters "-40000"
expect_warning "-40000 letters"
type_over "1e5" # the focus is back in the box
expect_warning "1e5 letters"
batch_refused "Generate with 1e5 letters shown"

# Ten thousand characters at once, through the clipboard.
paste_box letters "$(printf '9%.0s' $(seq 10000))"
expect_warning "10000 nines"
batch_refused "Generate with 10000 nines shown"
paste_box letters "5$(printf 'x%.0s' $(seq 9999))"
no_warning "5 and 9999 letters"
batch 5 3 "5 and 9999 letters"
set_box letters "$(printf '0%.0s' $(seq 60))3"
no_warning "leading zeros"
batch 3 3 "60 zeros then 3"

set_box numbers ""
no_warning "empty numbers box"
batch 3 0 "empty numbers box"

# A sum above 32767: the new count stands, only the total fails.
set_box letters "30000"
set_box numbers "2768"
expect_warning "sum 32768"
batch 30000 2768 "30000 + 2768"

set_box letters "3"
set_box numbers "3"
no_warning "back to 3 and 3"

# A negative count fails in batch mode: one warning, the batch stops, the
# list keeps what it had.
for box in letters numbers; do
    set_box "$box" "-5"
    no_warning "-5 $box typed"
    batch_refused "batch with -5 $box"
    set_box "$box" "3"
done

batch 3 3 "3 and 3 again"
assert_alive "at the end"
log "$SAVED_LINES passwords saved in all"
log PASS
