#!/bin/bash
# The window as the X server sees it: title, client size, fixed-size hints,
# centred placement, and the batch buttons where the layout table puts them.
source "$(dirname "$0")/lib.sh"

start_xvfb
start_app

name=$(xdotool getwindowname "$MAIN_WIN")
[[ $name == Velkrin ]] || fail "window title is \"$name\""
# A taskbar links the window to the desktop entry by its class.
class=$(xprop -id "$MAIN_WIN" WM_CLASS | sed 's/.*, "\(.*\)"/\1/')
entry="$(dirname "$VELKRIN_LAYOUT")/../resources/org.velkrin.Velkrin.desktop"
grep -qx "StartupWMClass=$class" "$entry" || fail "WM_CLASS class \"$class\" is not the desktop entry's StartupWMClass"

info=$(xwininfo -id "$MAIN_WIN")
width=$(awk '/^ *Width:/ {print $2}' <<<"$info")
height=$(awk '/^ *Height:/ {print $2}' <<<"$info")
left=$(awk '/Absolute upper-left X:/ {print $4}' <<<"$info")
top=$(awk '/Absolute upper-left Y:/ {print $4}' <<<"$info")
log "client area ${width}x${height} at $left,$top"
[[ ${width}x${height} == 218x483 ]] || fail "client area is ${width}x${height}, expected 218x483"

# Centred on the 1024x768 screen (to a pixel either way for the odd sizes).
((left >= 402 && left <= 404 && top >= 141 && top <= 143)) || fail "window not centred: at $left,$top"

# Fixed size: the size hints pin the minimum and the maximum to the same size.
hints=$(xprop -id "$MAIN_WIN" WM_NORMAL_HINTS)
min=$(sed -n 's/.*minimum size: \([0-9]*\) by \([0-9]*\).*/\1x\2/p' <<<"$hints")
max=$(sed -n 's/.*maximum size: \([0-9]*\) by \([0-9]*\).*/\1x\2/p' <<<"$hints")
log "size hints: minimum $min, maximum $max"
[[ -n $min && $min == "$max" && $min == 218x483 ]] || fail "window is resizable: hints are $hints"

# The layout table must agree with the window: its client size in twips.
grep -q 'kClientWidthTwips = 3270;' "$VELKRIN_LAYOUT" && grep -q 'kClientHeightTwips = 7245;' "$VELKRIN_LAYOUT" ||
    fail "client size in the layout table is not 3270 x 7245 twips"

for control in XPButton1 XPButton2 XPButton3; do
    log "$control centre at $(control_centre "$control")"
done

# Click Generate, wait, click Stop, click Save.
click_control XPButton1
sleep 0.8
click_control XPButton2
save_with click_control XPButton3
count=$(target_count)
log "after the clicks target.txt holds $count passwords"
((count >= 5 && count <= 12)) || fail "expected about eight passwords, got $count"
assert_target_lines '[a-z]{3}[0-9]{3}'

# Stop really stopped the batch.
cp "$TARGET" "$WORK/first.txt"
sleep 0.5
save_with click_control XPButton3
cmp -s "$TARGET" "$WORK/first.txt" || fail "the list changed after Stop"

# "Stop" while idle and "Generate" twice leave batch mode as it was.
click_control XPButton2
click_control XPButton1
click_control XPButton1
sleep 0.5
click_control XPButton2
save_with click_control XPButton3
count2=$(target_count)
added=$((count2 - count))
((added >= 3 && added <= 8)) || fail "Generate pressed twice gave $added new passwords in 0.5 s"
assert_alive "after the clicks"

# Closing the window ends the program, cleanly.
close_app
((CLOSE_STATUS == 0)) || fail "the program ended with status $CLOSE_STATUS when its window was closed"
log "closing the window ended the program with status 0"
log PASS
