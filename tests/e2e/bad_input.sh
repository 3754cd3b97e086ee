#!/bin/bash
# Whatever a user types into the two count boxes: the program reads a leading
# number, warns about counts it cannot use, keeps running, and never loses the
# list. Each step sets a box, runs a short batch and saves; the saved file must
# keep every earlier password and add passwords of the expected shape.
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

# Tab order: the index of each control the test moves the focus to.
declare -A TAB_INDEX=([create]=0 [letters]=1 [numbers]=2 [generate]=6 [stop]=7 [save]=8)
FOCUS=create
focus_on() {
    local steps=$(((TAB_INDEX[$1] - TAB_INDEX[$FOCUS] + 9) % 9))
    ((steps > 0)) && key $(printf 'Tab %.0s' $(seq "$steps"))
    FOCUS=$1
}

# set_box letters|numbers text: select the box's text and type over it.
set_box() {
    focus_on "$1"
    type_over "$2"
}

# paste_box letters|numbers text: the same through the clipboard (Ctrl+V).
paste_box() {
    set_clipboard "$2"
    focus_on "$1"
    key ctrl+a ctrl+v
}

SAVED_LINES=0
cp /dev/null "$WORK/saved.txt"

# Saves and checks that the list is whole: the previous save is its head.
save_whole() {
    save_with click_control Save
    FOCUS=save
    cmp -s -n "$(stat -c %s "$WORK/saved.txt")" "$TARGET" "$WORK/saved.txt" ||
        fail "the list lost passwords ($*): the previous save is no longer its head"
    local previous=$SAVED_LINES
    SAVED_LINES=$(target_count)
    cp "$TARGET" "$WORK/saved.txt"
    NEW_LINES=$((SAVED_LINES - previous))
    PREVIOUS_LINES=$previous
}

# batch letters digits "what": a short batch whose passwords must have that
# many letters, then that many digits.
batch() {
    click_control Generate
    wait_for_list $((SAVED_LINES + 2))
    click_control Stop
    save_whole "$3"
    ((NEW_LINES >= 1)) || fail "the batch added no password ($3)"
    local bad
    bad=$(tr -d '\r' <"$TARGET" | tail -n +"$((PREVIOUS_LINES + 1))" | awk -v l="$1" -v d="$2" '
        length($0) != l + d || substr($0, 1, l) ~ /[^a-z]/ || substr($0, l + 1) ~ /[^0-9]/ { bad++ }
        END { print bad + 0 }')
    ((bad == 0)) || fail "$3: $bad of $NEW_LINES passwords are not $1 letters and $2 digits"
    assert_target_lines '[a-z]*[0-9]*'
    log "$3: $NEW_LINES passwords of $1 letters and $2 digits"
}

# batch_refused "what": Generate warns at once; the batch stops having added
# nothing and does not go on.
batch_refused() {
    click_control Generate
    FOCUS=generate
    expect_warning "$1"
    save_whole "$1"
    ((NEW_LINES == 0)) || fail "$1: the batch added $NEW_LINES items"
    sleep 0.4 # four ticks: the batch must not have gone on
    save_whole "0.4 s after $1"
    ((NEW_LINES == 0)) || fail "the batch went on after the warning ($1)"
}

# Nothing to poll for: the point is that no box opens.
no_warning() {
    sleep 0.2
    [[ -z $(other_velkrin_windows) ]] || fail "unexpected message box ($1)"
}

batch 3 3 "start-up counts"

set_box letters "";        no_warning empty;     batch 0 3 "empty letters box"
set_box letters "abc";     no_warning letters;   batch 0 3 "letters only"
set_box letters "+5";      no_warning sign;      batch 5 3 "+5"
set_box letters "2.5";     no_warning decimal;   batch 2 3 "2.5 (half to even)"
set_box letters "3.5";     no_warning decimal;   batch 4 3 "3.5 (half to even)"
set_box letters "1e2";     no_warning exponent;  batch 100 3 "1e2"
set_box letters "7abc";    no_warning trailing;  batch 7 3 "7abc"
set_box letters "é7";      no_warning accent;    batch 0 3 "é7"
set_box letters "7漢字";   no_warning cjk;       batch 7 3 "7 and CJK text"

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

# save_fails "what" "reason": Save warns with the system's reason, and the
# file it would replace and the folder it lies in are as they were.
save_fails() {
    local before folder=${TARGET_FILE:-$TARGET}
    before=$(ls -A "${folder%/*}"; cksum <"$folder")
    click_control Save
    FOCUS=save
    expect_warning "$1"
    grep -q "$2" <<<"$WARNING_TEXT" || fail "the warning for $1 does not say \"$2\": $WARNING_TEXT"
    [[ $(ls -A "${folder%/*}"; cksum <"$folder") == "$before" ]] || fail "the failed $1 changed the files"
}
# Past a file-size limit (the list now holds over 64 KiB) SIGXFSZ does not end the program.
prlimit --pid "$APP_PID" --fsize=65536:unlimited || fail "prlimit failed"
save_fails "save over ulimit -f" "File too large"
prlimit --pid "$APP_PID" --fsize=unlimited:unlimited
# A full disk (a link to a file on a 64 KiB tmpfs; mounting needs root).
if ((EUID == 0)); then
    mkdir "$WORK/small" && mount -t tmpfs -o size=64k tmpfs "$WORK/small" || fail "cannot mount a tmpfs"
    MOUNTED="$WORK/small" TARGET_FILE="$WORK/small/old.txt"
    printf 'old\r\n' >"$TARGET_FILE" && mv "$TARGET" "$WORK/kept.txt" && ln -s "$TARGET_FILE" "$TARGET"
    save_fails "save onto a full disk" "No space left on device"
    rm "$TARGET" && mv "$WORK/kept.txt" "$TARGET" && umount "$MOUNTED" && MOUNTED= TARGET_FILE=
fi
save_whole "after the failed saves"
((NEW_LINES == 0)) || fail "the list changed across the failed saves ($NEW_LINES new items)"
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

# A save that cannot be written: "target.txt" is a folder. One warning that
# names the file; the folder is left alone, and the next save writes the list
# whole.
rm "$TARGET" # its content is in saved.txt
mkdir "$TARGET"
touch "$TARGET/keep"
click_control Save
FOCUS=save
expect_warning "save onto a folder"
grep -qF 'caf\xe9/target.txt' <<<"$WARNING_TEXT" || fail "the save warning does not name the path: $WARNING_TEXT"
[[ -d $TARGET && -f $TARGET/keep ]] || fail "the failed save touched the folder in its way"
rm -r "$TARGET"

# Nor is anything else that is not a regular file (a device node needs root).
mkfifo "$WORK/pipe"
for kind in "named pipe" "link to a named pipe" "character device"; do
    case $kind in
    named*) mkfifo -m 0666 "$TARGET" ;;
    link*) ln -s "$WORK/pipe" "$TARGET" ;;
    *) ((EUID == 0)) || continue; mknod -m 0666 "$TARGET" c 1 3 ;;
    esac
    before=$(stat -c '%F %a %i' "$TARGET")
    click_control Save
    FOCUS=save
    expect_warning "save onto a $kind"
    grep -q "${kind#link to a }" <<<"$WARNING_TEXT" || fail "the save warning does not name the $kind: $WARNING_TEXT"
    [[ $(stat -c '%F %a %i' "$TARGET") == "$before" ]] || fail "the failed save replaced the $kind"
    rm "$TARGET"
done
save_whole "after the failed save"
((NEW_LINES == 0)) || fail "the list changed across the failed save ($NEW_LINES new items)"
[[ $(stat -c %a "$TARGET") == 600 ]] || fail "a newly created target.txt is not 0600"

batch 3 3 "3 and 3 again"
assert_alive "at the end"
log "$SAVED_LINES passwords saved in all"
log PASS
