#!/bin/bash
# Saves that fail: past a file-size limit, onto a full disk, onto a folder, a
# named pipe, a link to one or a device. Each gives one warning with the
# system's reason, leaves what is in the way as it was, and loses nothing of
# the list; the next save writes it whole.
source "$(dirname "$0")/lib.sh"

# The program's folder is named in Latin-1, not valid UTF-8: every save below
# must still land beside the executable.
APP="$WORK/caf"$'\xe9'"/velkrin" TARGET="$WORK/caf"$'\xe9'"/target.txt"

start_xvfb
start_app

# Two passwords of 10000 letters and 3 digits: over 16 KiB.
set_box letters "10000"
no_warning "10000 letters"
batch 10000 3 "10000 letters"

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
# Past a file-size limit (the list holds over 16 KiB) SIGXFSZ does not end the program.
prlimit --pid "$APP_PID" --fsize=16384:unlimited || fail "prlimit failed"
save_fails "save over ulimit -f" "File too large"
prlimit --pid "$APP_PID" --fsize=unlimited:unlimited
# A full disk (a link to a file on a 16 KiB tmpfs; mounting needs root).
if ((EUID == 0)); then
    mkdir "$WORK/small" && mount -t tmpfs -o size=16k tmpfs "$WORK/small" || fail "cannot mount a tmpfs"
    MOUNTED="$WORK/small" TARGET_FILE="$WORK/small/old.txt"
    printf 'old\r\n' >"$TARGET_FILE" && mv "$TARGET" "$WORK/kept.txt" && ln -s "$TARGET_FILE" "$TARGET"
    save_fails "save onto a full disk" "No space left on device"
    rm "$TARGET" && mv "$WORK/kept.txt" "$TARGET" && umount "$MOUNTED" && MOUNTED= TARGET_FILE=
fi
save_whole "after the failed saves"
((NEW_LINES == 0)) || fail "the list changed across the failed saves ($NEW_LINES new items)"

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

set_box letters "3"

batch 3 3 "3 and 3 again"
assert_alive "at the end"
log "$SAVED_LINES passwords saved in all"
log PASS
