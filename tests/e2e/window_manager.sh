#!/bin/bash
# The window under real window managers: openbox, then xfwm4 (which, unlike
# openbox, grows a fixed-size window when asked for full screen). The frame
# stands centred on the screen; no maximise or minimise is asked for; resize,
# full-screen and maximise requests leave the client area at 218 x 483; SIGTERM
# ends the program with status 0.
source "$(dirname "$0")/lib.sh"

command -v wmctrl >/dev/null || fail "wmctrl is missing (see scripts/packages-test.txt)"

SCREEN_W=1024
SCREEN_H=768

# The frame's centre is the screen's, to 2 pixels (compared doubled, so the
# half pixels of odd sizes count).
frame_centred() {
    local x y w h
    read -r x y w h <<<"$(frame_geometry "$MAIN_WIN")" || return 1
    FRAME="${w}x${h}+${x}+${y}"
    # Until the manager has framed the window the frame is the client itself.
    [[ $(client_size "$MAIN_WIN") != "$w $h" ]] || return 1
    local dx=$((2 * x + w - SCREEN_W)) dy=$((2 * y + h - SCREEN_H))
    ((dx >= -4 && dx <= 4 && dy >= -4 && dy <= 4))
}

assert_frame_centred() {
    wait_until 3 frame_centred ||
        fail "under $WM_NAME the frame is not centred ($*): frame $FRAME, extents $(xprop -id "$MAIN_WIN" _NET_FRAME_EXTENTS)"
    log "$*: frame $FRAME, centred"
}

net_wm_state() { xprop -id "$MAIN_WIN" _NET_WM_STATE 2>/dev/null; }

# A request has been answered once the window's size, place and state have
# held for 0.7 s: longer than the program waits (0.3 s) before it takes a
# turned-back window home.
window_quiet() {
    local now=$EPOCHREALTIME snapshot
    snapshot="$(client_size "$MAIN_WIN") $(frame_geometry "$MAIN_WIN") $(net_wm_state)"
    [[ $snapshot == "$QUIET_SNAPSHOT" ]] || { QUIET_SNAPSHOT=$snapshot QUIET_SINCE=$now; return 1; }
    awk -v a="$QUIET_SINCE" -v b="$now" 'BEGIN { exit !(b - a >= 0.7) }'
}

# request "what" <command...>: the client area keeps its size and the window
# is not left full screen or maximised.
request() {
    local what=$1 size state
    shift
    "$@" || fail "could not send the $what request"
    QUIET_SNAPSHOT=
    wait_until 10 window_quiet || fail "under $WM_NAME the window kept changing after the $what request"
    size=$(client_size "$MAIN_WIN")
    state=$(net_wm_state)
    log "after the $what request: client area ${size/ /x}, frame $(frame_geometry "$MAIN_WIN"), $state"
    [[ $size == "218 483" ]] || fail "under $WM_NAME the $what request left the client area at ${size/ /x}"
    [[ $state != *_NET_WM_STATE_FULLSCREEN* && $state != *_NET_WM_STATE_MAXIMIZED* ]] ||
        fail "under $WM_NAME the window stays full screen or maximised after the $what request: $state"
}

check_requests() {
    request resize xdotool windowsize "$MAIN_WIN" 500 600
    request full-screen wmctrl -i -r "$MAIN_WIN" -b add,fullscreen
    request maximise wmctrl -i -r "$MAIN_WIN" -b add,maximized_vert,maximized_horz
    assert_frame_centred "after the requests"
}

start_xvfb

# --- openbox ---------------------------------------------------------------
start_wm openbox
start_app
assert_frame_centred "when first shown"

# The program asks for neither button: Qt states it in the Motif hints (flags:
# functions 1, decorations 2; functions: all 1, minimise 8, maximise 16;
# decorations: all 1, minimise 32, maximise 64).
read -r flags functions decorations _ < <(xprop -id "$MAIN_WIN" _MOTIF_WM_HINTS | sed 's/.*= //; s/,/ /g')
log "Motif hints: flags $flags, functions $functions, decorations $decorations"
[[ -n $decorations ]] || fail "the window sets no Motif hints"
(((flags & 3) == 3)) || fail "the Motif hints leave the functions or the decorations to the window manager: $flags"
(((functions & (1 | 8 | 16)) == 0)) || fail "the window asks to be minimised or maximised: functions $functions"
(((decorations & (1 | 32 | 64)) == 0)) || fail "the window asks for minimise or maximise buttons: decorations $decorations"

# openbox offers minimising to every normal window, whatever it asks; it offers
# resizing and maximising only to a window whose size hints allow another size.
actions=$(xprop -id "$MAIN_WIN" _NET_WM_ALLOWED_ACTIONS)
log "openbox allows: ${actions#*= }"
[[ $actions == *_NET_WM_ACTION_CLOSE* ]] || fail "openbox lists no allowed actions: $actions"
[[ $actions != *_NET_WM_ACTION_MAXIMIZE* && $actions != *_NET_WM_ACTION_RESIZE* ]] ||
    fail "openbox lets the window be resized or maximised: $actions"

check_requests
terminate_app
stop_wm

# --- xfwm4 -----------------------------------------------------------------
start_wm xfwm4
start_app
assert_frame_centred "when first shown"
check_requests
terminate_app
log PASS
