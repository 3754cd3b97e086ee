#!/bin/bash
# The window under Wayland: weston's headless compositor (pixman renderer, so
# it can take screenshots), the program on Qt's wayland platform. It opens an
# xdg toplevel titled "Velkrin" whose app id is the desktop entry's, commits a
# buffer, is drawn on the screen, and ends with status 0 on SIGTERM (a headless
# compositor has no input to close it with).
source "$(dirname "$0")/lib.sh"

for tool in weston weston-screenshooter; do
    command -v "$tool" >/dev/null || fail "$tool is missing (see scripts/packages-test.txt)"
done

SOCKET="velkrin-$$"
RUNTIME="$WORK/runtime"
mkdir -p "$RUNTIME" "$WORK/shots"
chmod 0700 "$RUNTIME"

XDG_RUNTIME_DIR="$RUNTIME" weston --backend=headless-backend.so --use-pixman --width=1024 --height=768 \
    --socket="$SOCKET" --idle-time=0 --debug >"$WORK/weston.log" 2>&1 &
WESTON_PID=$!
# The desktop shell is up once its client is launched; clients may connect.
wait_until 10 eval '[[ -S $RUNTIME/$SOCKET ]] && grep -q "launching .*weston-desktop-shell" "$WORK/weston.log"' ||
    { cat "$WORK/weston.log" >&2; fail "weston did not start"; }
log "weston on $SOCKET"

# Under AddressSanitizer, unwind allocations fully: Qt's Wayland client keeps
# its globals to the end and Mesa's EGL driver is unloaded before the leak
# report, and only whole stacks can be told apart from ours (see
# tests/sanitizers/lsan.supp).
sanitizer=()
[[ -n ${ASAN_OPTIONS:-} ]] && sanitizer=("ASAN_OPTIONS=$ASAN_OPTIONS:fast_unwind_on_malloc=0")
launch_app DISPLAY= QT_QPA_PLATFORM=wayland WAYLAND_DISPLAY="$SOCKET" WAYLAND_DEBUG=1 "${sanitizer[@]}"

# From the protocol log: the toplevel's title and app id, and a buffer
# attached to its surface and committed after the compositor configured it.
toplevel_shown() {
    awk '
        /xdg_wm_base@[0-9]+\.get_xdg_surface\(new id xdg_surface@/ {
            match($0, /xdg_surface@[0-9]+/); xs = substr($0, RSTART, RLENGTH)
            match($0, /wl_surface@[0-9]+/); surf[xs] = substr($0, RSTART, RLENGTH) }
        /\.get_toplevel\(new id xdg_toplevel@/ {
            match($0, /xdg_surface@[0-9]+/); xs = substr($0, RSTART, RLENGTH)
            match($0, /xdg_toplevel@[0-9]+\.get|new id xdg_toplevel@[0-9]+/)
            t = substr($0, RSTART + 7, RLENGTH - 7); sub(/\.get$/, "", t); top_surf[t] = surf[xs] }
        /-> xdg_toplevel@[0-9]+\.set_title\("Velkrin"\)/ { match($0, /xdg_toplevel@[0-9]+/); titled = substr($0, RSTART, RLENGTH) }
        /-> xdg_toplevel@[0-9]+\.set_app_id\("org\.velkrin\.Velkrin"\)/ { match($0, /xdg_toplevel@[0-9]+/); named = substr($0, RSTART, RLENGTH) }
        titled != "" && $0 ~ ("] " titled "\\.configure\\(") { configured = 1 }
        configured && titled != "" && $0 ~ ("-> " top_surf[titled] "\\.attach\\(wl_buffer@") { attached = 1 }
        attached && $0 ~ ("-> " top_surf[titled] "\\.commit\\(\\)") { committed = 1 }
        END { exit !(titled != "" && named == titled && committed) }
    ' "$WORK/app.log"
}
wait_until 15 toplevel_shown || fail "no xdg toplevel titled \"Velkrin\" with app id org.velkrin.Velkrin committed a buffer"
kill -0 "$APP_PID" 2>/dev/null || fail "the program ended by itself"
log "toplevel \"Velkrin\", app id org.velkrin.Velkrin, buffer committed"

# The screen shows the window: its list is a white area of about 217 x 316
# pixels, where the desktop alone has next to none.
white_pixels() {
    local shot
    rm -f "$WORK/shots"/*.png
    (cd "$WORK/shots" && XDG_RUNTIME_DIR="$RUNTIME" WAYLAND_DISPLAY="$SOCKET" timeout 5 weston-screenshooter) \
        >>"$WORK/shooter.log" 2>&1 || return 1
    shot=$(ls "$WORK/shots"/*.png 2>/dev/null | head -n 1)
    [[ -n $shot ]] || return 1
    cp "$shot" "$WORK/screen.png"
    WHITE=$(convert "$shot" -fill black +opaque white -colorspace gray -format '%[fx:round(mean*w*h)]' info:)
    ((WHITE >= 60000))
}
wait_until 5 white_pixels || fail "the screenshot does not show the window's list (${WHITE:-no} white pixels, $WORK/screen.png)"
log "screenshot: $WHITE white pixels"

terminate_app
log PASS
