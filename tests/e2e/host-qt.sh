# The Qt window on X11 for scenarios.sh (sourced after lib.sh), under openbox:
# without a window manager nothing answers a maximise request.
command -v wmctrl >/dev/null || fail "wmctrl is missing (see scripts/packages-test.txt)"

host_start() { # [VAR=value...]
    [[ -n $WM_PID ]] || start_wm openbox
    start_app LANG=en_US.UTF-8 "$@"
}
host_password() { atspi name "Current password"; }
host_count() { list_count; }
host_alert() { atspi alert; }
host_maximise() { wmctrl -i -r "$MAIN_WIN" -b add,maximized_vert,maximized_horz; }
host_date() { date +%-m/%-d/%y; } # Qt's short date for en_US
host_finish() { :; }
