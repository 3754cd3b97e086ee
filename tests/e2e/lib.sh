# Shared helpers of the end-to-end tests: a private X server, the program
# copied into a folder of its own (it saves beside itself), driving it with
# xdotool and looking at what it leaves behind. Sourced by each test script.
# The controls are found where a screen reader finds them, through the
# accessibility bus (atspi.py), so the tests read the layout from the program.
# usage of a test: <test>.sh <velkrin executable> [<e2e build dir>]
# (or the same in VELKRIN_EXE and VELKRIN_E2E_DIR).

set -uo pipefail

# Each test in a session (and process group) of its own: whatever it starts,
# down to helpers that D-Bus starts and that leave its process tree, stays in
# that group, and the cleanup ends the group. The pid stays the same, so CTest
# still knows the test.
if [[ -z ${VELKRIN_E2E_SESSION:-} ]]; then
    export VELKRIN_E2E_SESSION=1
    exec setsid -w bash "$0" "$@"
fi

VELKRIN_EXE=${1:-${VELKRIN_EXE:-}}
VELKRIN_E2E_DIR=${2:-${VELKRIN_E2E_DIR:-}}
[[ -x $VELKRIN_EXE ]] || { echo "usage: $0 <velkrin executable> [<e2e build dir>]" >&2; exit 2; }
for tool in Xvfb xdotool xwininfo xprop xclip import convert dbus-daemon; do
    command -v "$tool" >/dev/null || { echo "$tool is missing (see scripts/packages-test.txt)" >&2; exit 1; }
done

TEST_NAME=$(basename "$0" .sh)
WORK=$(mktemp -d "${TMPDIR:-/tmp}/velkrin-$TEST_NAME.XXXXXX")
APP="$WORK/app/velkrin"
TARGET="$WORK/app/target.txt"
XVFB_PID=
WM_PID=
WESTON_PID=
APP_PID=
APP_WRAPPER=() # a command the program is started through (setpriv, unshare...)
AS_USER=()     # who the program, its buses and atspi.py run as (setpriv...); the test's user if empty
CLIP_PID=
BUS_PID=
MAIN_WIN=

log() { printf '[%s %s] %s\n' "$TEST_NAME" "$(date +%T.%N | cut -c1-12)" "$*"; }

cleanup() {
    local status=$?
    [[ -n $CLIP_PID ]] && kill "$CLIP_PID" 2>/dev/null
    [[ -n $APP_PID ]] && kill "$APP_PID" 2>/dev/null
    [[ -n $APP_PID ]] && wait "$APP_PID" 2>/dev/null
    stop_wm
    [[ -n ${MOUNTED:-} ]] && umount "$MOUNTED"
    [[ -n $WESTON_PID ]] && kill "$WESTON_PID" 2>/dev/null && wait "$WESTON_PID" 2>/dev/null
    [[ -n $BUS_PID ]] && kill "$BUS_PID" 2>/dev/null
    [[ -n $XVFB_PID ]] && kill "$XVFB_PID" 2>/dev/null
    [[ -n $XVFB_PID ]] && wait "$XVFB_PID" 2>/dev/null
    signal_group TERM
    wait_until 3 eval '[[ -z $(group_left) ]]' || signal_group KILL
    if ((status == 0)) && [[ -z ${KEEP_WORK:-} ]]; then
        rm -rf "$WORK"
    else
        echo "work folder kept: $WORK"
    fi
    exit "$status"
}
trap cleanup EXIT
trap 'exit 130' INT
trap 'exit 143' TERM HUP

# The test's processes still running, but the test itself.
group_left() {
    local pid state
    for pid in $(pgrep -g "$$"); do
        ((pid == $$ || pid == BASHPID)) && continue
        state=$(ps -o stat= -p "$pid") && [[ $state != Z* ]] && echo "$pid"
    done
}
signal_group() {
    local pids
    pids=$(group_left)
    [[ -n $pids ]] && kill "-$1" $pids 2>/dev/null
}

fail() {
    echo "FAIL [$TEST_NAME]: $*" >&2
    if [[ -f $WORK/app.log && -s $WORK/app.log ]]; then
        echo "--- program output:" >&2
        tail -n 20 "$WORK/app.log" >&2
    fi
    if [[ -n ${DISPLAY:-} && -n $XVFB_PID ]]; then
        import -display "$DISPLAY" -window root "$WORK/failure.png" 2>/dev/null &&
            echo "screen at failure: $WORK/failure.png" >&2
    fi
    exit 1
}

# wait_until <seconds> <command...>: polls every 50 ms.
wait_until() {
    local limit=$1; shift
    local deadline=$((SECONDS + limit + 1)) start=$EPOCHREALTIME
    while ! "$@"; do
        if ((SECONDS >= deadline)) || awk -v s="$start" -v n="$EPOCHREALTIME" -v l="$limit" 'BEGIN{exit !(n-s>l)}'; then
            return 1
        fi
        sleep 0.05
    done
}

# --- X server -------------------------------------------------------------

start_xvfb() {
    local fifo="$WORK/displayfd"
    mkfifo "$fifo"
    # -displayfd picks a free display number, so parallel tests never collide.
    Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp -noreset 3>"$fifo" >"$WORK/xvfb.log" 2>&1 &
    XVFB_PID=$!
    local number
    if ! read -r -t 15 number <"$fifo" || [[ -z $number ]]; then
        cat "$WORK/xvfb.log" >&2
        fail "Xvfb did not start"
    fi
    export DISPLAY=":$number"
    log "Xvfb on $DISPLAY"
    start_session_bus
}

# A session bus of the test's own, and on it the accessibility bus, which Qt
# finds at start-up and screen readers (and atspi.py) read the program through.
# The bus runs as a child of the test, not forked off as a daemon, so that
# CTest ending the test's process tree ends it and what it started.
start_session_bus() {
    local fifo="$WORK/busaddress"
    mkfifo "$fifo"
    "${AS_USER[@]}" dbus-daemon --session --nofork --nopidfile --print-address=3 3>"$fifo" >/dev/null 2>&1 &
    BUS_PID=$!
    read -r -t 15 DBUS_SESSION_BUS_ADDRESS <"$fifo" && [[ -n $DBUS_SESSION_BUS_ADDRESS ]] ||
        fail "could not start a session bus"
    export DBUS_SESSION_BUS_ADDRESS
    "${AS_USER[@]}" dbus-send --session --print-reply --dest=org.a11y.Bus /org/a11y/bus org.a11y.Bus.GetAddress >/dev/null ||
        fail "the accessibility bus did not start"
}

# A copy in the work folder: a user the test runs things as (AS_USER) may not
# be able to read the checkout (a clone under /root is 0700).
cp "$(dirname "${BASH_SOURCE[0]}")/atspi.py" "$WORK/atspi.py"
atspi() { "${AS_USER[@]}" /usr/bin/python3 "$WORK/atspi.py" "$@"; }

# start_wm openbox|xfwm4: runs a window manager on the X server and waits
# until it manages the screen. Its settings stay in the work folder.
start_wm() {
    mkdir -p "$WORK/home/.config"
    command -v "$1" >/dev/null || fail "$1 is missing (see scripts/packages-test.txt)"
    # A manager that was ended may leave its mark on the root window.
    xprop -root -remove _NET_SUPPORTING_WM_CHECK 2>/dev/null
    case $1 in
    openbox)
        HOME="$WORK/home" XDG_CONFIG_HOME="$WORK/home/.config" openbox --sm-disable >"$WORK/wm.log" 2>&1 &
        WM_PID=$!
        ;;
    xfwm4)
        # xfwm4 reads its settings through xfconfd, which D-Bus starts.
        command -v dbus-run-session >/dev/null || fail "dbus-run-session is missing (see scripts/packages-test.txt)"
        HOME="$WORK/home" XDG_CONFIG_HOME="$WORK/home/.config" \
            dbus-run-session -- xfwm4 --compositor=off --sm-client-disable >"$WORK/wm.log" 2>&1 &
        WM_PID=$!
        ;;
    *) fail "unknown window manager $1" ;;
    esac
    WM_NAME=$1
    wait_until 10 eval 'xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q "window id"' ||
        { cat "$WORK/wm.log" >&2; fail "$1 did not start"; }
    log "$1 manages $DISPLAY"
}

# Ends the window manager (a wrapper's child first, so the wrapper cleans up).
stop_wm() {
    [[ -n $WM_PID ]] || return 0
    local children
    children=$(pgrep -P "$WM_PID" 2>/dev/null)
    [[ -n $children ]] && kill $children 2>/dev/null
    kill "$WM_PID" 2>/dev/null
    wait "$WM_PID" 2>/dev/null
    WM_PID=
}

# Prints "left top width height" of the window manager's frame around a
# client window: its ancestor that is a child of the root window.
frame_geometry() {
    local id=$1 parent root info
    root=$(xwininfo -root | awk '/Window id:/ {print $4}')
    while :; do
        parent=$(xwininfo -tree -id "$id" | awk '/Parent window id:/ {print $4}')
        [[ -n $parent ]] || return 1
        ((parent == root)) && break
        id=$parent
    done
    info=$(xwininfo -id "$id")
    awk '/Absolute upper-left X:/ {x = $4} /Absolute upper-left Y:/ {y = $4}
         /^ *Width:/ {w = $2} /^ *Height:/ {h = $2} END {print x, y, w, h}' <<<"$info"
}

# Prints "width height" of a window's client area.
client_size() {
    xwininfo -id "$1" | awk '/^ *Width:/ {w = $2} /^ *Height:/ {h = $2} END {print w, h}'
}

# --- the program ------------------------------------------------------------

# start_app [VAR=value...]: runs a fresh copy of the executable in its own
# folder with a clean environment, and waits for its window.
# launch_app [VAR=value...]: starts a fresh copy of the executable in its own
# folder (that of $APP) with a clean environment (on X11 unless told otherwise); its output
# goes to $WORK/app.log. $WORK/runtime is its XDG_RUNTIME_DIR.
launch_app() {
    mkdir -p "${APP%/*}" "$WORK/home" "$WORK/runtime"
    chmod 0700 "$WORK/runtime"
    cp "$VELKRIN_EXE" "$APP"
    (
        cd "${APP%/*}" || exit 1
        unset LPDEST PRINTER LC_ALL LC_TIME LANGUAGE QT_QPA_PLATFORM QT_SCALE_FACTOR QT_SCREEN_SCALE_FACTORS
        export HOME="$WORK/home" XDG_RUNTIME_DIR="$WORK/runtime" XDG_CONFIG_HOME="$WORK/home/.config"
        export QT_QPA_PLATFORM=xcb QT_AUTO_SCREEN_SCALE_FACTOR=0 QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 LANG=C.UTF-8
        for assignment in "$@"; do export "${assignment?}"; done
        exec "${AS_USER[@]}" "${APP_WRAPPER[@]}" "$APP"
    ) >"$WORK/app.log" 2>&1 &
    APP_PID=$!
}

start_app() {
    launch_app "$@"
    MAIN_WIN=$(timeout 15 xdotool search --sync --onlyvisible --name '^Velkrin$' 2>/dev/null | head -n 1)
    [[ -n $MAIN_WIN ]] || fail "the window titled \"Velkrin\" did not appear"
    # Without a window manager nobody gives the window the keyboard focus.
    xdotool windowfocus --sync "$MAIN_WIN" || fail "could not focus the window"
    wait_until 5 window_painted || fail "the window was never painted"
    # A program run as another user cannot join the test's buses (APP_OFF_BUS).
    [[ -n ${APP_OFF_BUS:-} ]] || wait_until 10 eval 'atspi extents Generate >/dev/null 2>&1' ||
        fail "the program is not on the accessibility bus"
    log "window $MAIN_WIN, pid $APP_PID"
}

# The window counts as painted once it holds more than one colour.
window_painted() {
    local colours
    colours=$(import -display "$DISPLAY" -window "$MAIN_WIN" -format '%k' info: 2>/dev/null) || return 1
    ((colours > 1))
}

app_alive() {
    kill -0 "$APP_PID" 2>/dev/null || return 1
    xdotool search --onlyvisible --name '^Velkrin$' 2>/dev/null | grep -qx "$MAIN_WIN"
}

assert_alive() {
    app_alive || fail "the program is no longer running ($*)"
}

# Closes the window as a window manager's close button would and waits for the
# program to end; sets CLOSE_STATUS to its exit status.
app_ended() { [[ $(ps -o stat= -p "$APP_PID" 2>/dev/null) == Z* || -z $(ps -o pid= -p "$APP_PID" 2>/dev/null) ]]; }
close_app() {
    python3 "$(dirname "${BASH_SOURCE[0]}")/close_window.py" "$MAIN_WIN" || fail "could not send WM_DELETE_WINDOW"
    await_exit 15 "when its window was closed"
}

# await_exit <seconds> "when": the program ends in time; CLOSE_STATUS is its
# exit status.
await_exit() {
    wait_until "$1" app_ended || fail "the program did not end $2"
    CLOSE_STATUS=0
    wait "$APP_PID" || CLOSE_STATUS=$?
    APP_PID=
}

# Sends SIGTERM, as a session logging out does: the program must end as when
# its window is closed, with status 0.
terminate_app() {
    kill -TERM "$APP_PID" || fail "could not signal the program"
    await_exit 10 "on SIGTERM"
    ((CLOSE_STATUS == 0)) || fail "SIGTERM ended the program with status $CLOSE_STATUS"
    log "SIGTERM ended the program with status 0"
}

key() { xdotool key --delay 30 "$@"; }

# Replaces the text of the focused box the way a user does: select all, type.
type_over() {
    key ctrl+a
    if [[ -z $1 ]]; then
        key BackSpace
    else
        # xdotool decodes its argument by the locale it runs in; under a bare
        # C locale it refuses non-ASCII text.
        LC_ALL=C.UTF-8 xdotool type --delay 20 -- "$1"
    fi
}

# --- the controls ---------------------------------------------------------------

# Prints "x y width height" of a control on the screen, found by its
# accessible name ("Generate", "Save", "Generated passwords"...).
control_box() {
    local box
    box=$(atspi extents "$1") || fail "no control named \"$1\" on the accessibility bus"
    echo "$box"
}

control_centre() {
    local x y w h
    read -r x y w h <<<"$(control_box "$1")"
    echo $((x + w / 2)) $((y + h / 2))
}

click_control() {
    local x y
    read -r x y <<<"$(control_centre "$1")"
    xdotool mousemove "$x" "$y" click 1
}

# How many passwords the list holds, as a screen reader counts them.
list_count() { atspi rows "Generated passwords"; }

# wait_for_list <count>: batch mode has added passwords until the list holds
# at least that many.
wait_for_list() {
    local want=$1
    wait_until 15 eval '(($(list_count) >= want))' || fail "the list never reached $want passwords (it holds $(list_count))"
}

# How many text rows the list shows: dark bands in a one-pixel-wide squeeze
# of the list's inside (rows of text are separated by blank lines of pixels).
list_rows_shown() {
    local x y w h
    read -r x y w h <<<"$(control_box "Generated passwords")"
    x=$((x + 3)); y=$((y + 3)); w=$((w - 24)); h=$((h - 6))
    import -window root "$WORK/list.png" || return 1
    convert "$WORK/list.png" -crop "${w}x${h}+${x}+${y}" +repage -colorspace gray -threshold 50% -negate \
        -scale "1x${h}!" -depth 8 txt:- |
        awk -F'[(),]' 'NR > 1 { dark = $3 > 0; if (dark && !was) rows++; was = dark } END { print rows + 0 }'
}

# batch_bound <start> <end>: the most ticks a batch running between those two
# moments (EPOCHREALTIME) can have made at ten a second, the first tick
# included.
batch_bound() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%d\n", (b - a) * 10 + 1 }'; }

# --- the saved file ------------------------------------------------------------

target_stamp() { stat -c '%i %Y %s' "$TARGET" 2>/dev/null || echo none; }

# save_with <command...>: runs the command that presses Save and waits until
# target.txt has been replaced (each save writes a new file).
save_with() {
    local before
    before=$(target_stamp)
    "$@"
    wait_until 5 eval '[[ $(target_stamp) != "$before" ]]' || fail "Save did not write $TARGET"
}

target_lines() { tr -d '\r' <"$TARGET"; }
target_count() { tr -cd '\n' <"$TARGET" | wc -c; }

# Every line of target.txt ends in CR LF and matches the pattern (ERE).
assert_target_lines() { # pattern
    local bytes lines
    bytes=$(stat -c %s "$TARGET")
    lines=$(target_count)
    if ((bytes > 0)); then
        [[ $(tail -c 2 "$TARGET" | od -An -tx1 | tr -d ' ') == 0d0a ]] || fail "target.txt does not end in CR LF"
    fi
    local crlf
    crlf=$(grep -c $'\r$' "$TARGET")
    ((crlf == lines)) || fail "only $crlf of $lines lines of target.txt end in CR LF"
    ((bytes == lines + $(tr -d '\r\n' <"$TARGET" | wc -c) + lines)) || fail "target.txt holds stray CR or LF bytes"
    local bad
    bad=$(target_lines | grep -Evx -- "$1" | head -n 3)
    [[ -z $bad ]] || fail "lines of target.txt not matching $1: $(printf '%q ' $bad | cut -c1-200)"
}

# --- message boxes ------------------------------------------------------------

# Prints the id of a visible window titled "Velkrin" other than the main one.
other_velkrin_windows() {
    xdotool search --onlyvisible --name '^Velkrin$' 2>/dev/null | grep -vx "$MAIN_WIN"
}

# Waits for the warning box and checks that it is a dialog of the window.
wait_warning() {
    local ids
    wait_until 10 eval '[[ -n $(other_velkrin_windows) ]]' || fail "no message box titled \"Velkrin\" appeared ($*)"
    sleep 0.3 # a second box would show up by now
    ids=$(other_velkrin_windows)
    (($(wc -l <<<"$ids") == 1)) || fail "more than one message box is open ($*): $ids"
    DIALOG=$ids
    local transient
    transient=$(xprop -id "$DIALOG" WM_TRANSIENT_FOR 2>/dev/null | grep -o '0x[0-9a-f]*')
    ((transient == MAIN_WIN)) || fail "the message box does not belong to the window ($*)"
    xprop -id "$DIALOG" _NET_WM_WINDOW_TYPE | grep -q _NET_WM_WINDOW_TYPE_DIALOG ||
        fail "the message box is not a dialog ($*)"
}

# The text of the open message box, as a screen reader reads it.
warning_text() { atspi alert; }

dismiss_warning() {
    xdotool windowfocus --sync "$DIALOG"
    key Return
    wait_until 5 eval '[[ -z $(other_velkrin_windows) ]]' || fail "the message box did not close on Return"
    DIALOG=
    # One fault, one message: nothing reopens a box behind the user's back.
    sleep 0.3
    [[ -z $(other_velkrin_windows) ]] || fail "another message box opened after the first was closed"
    xdotool windowfocus --sync "$MAIN_WIN"
}

# expect_warning "what": a message box opened; its text goes to WARNING_TEXT,
# then it is closed and the program must still run.
expect_warning() {
    wait_warning "$1"
    WARNING_TEXT=$(warning_text)
    [[ -n $WARNING_TEXT ]] || fail "the message box shows no text ($1)"
    log "$1: warning \"$(tr '\n' ' ' <<<"$WARNING_TEXT" | tr -s ' ' | cut -c1-120)\""
    dismiss_warning
    assert_alive "$1"
}

# The clipboard's text; an owner that does not answer within 3 s shows as
# "(no answer)" rather than holding the test until CTest's limit.
clipboard_text() { timeout 3 xclip -o -selection clipboard 2>/dev/null || (($? != 124)) || echo "(no answer)"; }

# Puts text on the clipboard (xclip serves it until someone else takes it).
set_clipboard() {
    [[ -n $CLIP_PID ]] && kill "$CLIP_PID" 2>/dev/null
    printf '%s' "$1" >"$WORK/clipboard"
    xclip -quiet -selection clipboard -i "$WORK/clipboard" >/dev/null 2>&1 &
    CLIP_PID=$!
    wait_until 5 eval '[[ $(clipboard_text | wc -c) == $(wc -c <"$WORK/clipboard") ]]' ||
        fail "could not set the clipboard"
}

# --- count boxes, batches and saves (bad_input, bad_counts, bad_save) -------

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
