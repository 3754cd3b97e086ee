#!/bin/bash
# The window as the X server sees it: title, client size, fixed-size hints,
# centred placement, and the batch buttons where a screen reader finds them.
source "$(dirname "$0")/lib.sh"

start_xvfb
start_app

name=$(xdotool getwindowname "$MAIN_WIN")
[[ $name == Velkrin ]] || fail "window title is \"$name\""
# A taskbar links the window to the desktop entry by its class.
class=$(xprop -id "$MAIN_WIN" WM_CLASS | sed 's/.*, "\(.*\)"/\1/')
entry="$(dirname "$0")/../../resources/org.velkrin.Velkrin.desktop"
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

# The batch buttons stand where the window places them: in the client area,
# in a row above Save (Generate, Stop, then Save below them).
read -r gx gy gw gh <<<"$(control_box Generate)"
read -r px py pw ph <<<"$(control_box Stop)"
read -r sx sy sw sh <<<"$(control_box Save)"
log "Generate ${gw}x${gh}+$((gx - left))+$((gy - top)), Stop ${pw}x${ph}+$((px - left))+$((py - top)), Save ${sw}x${sh}+$((sx - left))+$((sy - top))"
for box in "$gx $gy $gw $gh" "$px $py $pw $ph" "$sx $sy $sw $sh"; do
    read -r x y w h <<<"$box"
    ((x >= left && y >= top && x + w <= left + width && y + h <= top + height)) || fail "a batch button lies outside the client area: $box"
done
((gy == py && gx + gw <= px && sy >= gy + gh)) || fail "the batch buttons are not in their places"

# Click Generate until the list holds eight, click Stop, click Save.
click_control Generate
wait_for_list 8
click_control Stop
save_with click_control Save
count=$(target_count)
log "after the clicks target.txt holds $count passwords"

# "Stop" while idle and "Generate" twice leave batch mode as it was: one
# timer, ten passwords a second.
click_control Stop
started=$EPOCHREALTIME
click_control Generate
click_control Generate
wait_for_list $((count + 5))
click_control Stop
save_with click_control Save
most=$(batch_bound "$started" "$EPOCHREALTIME")
count2=$(target_count)
added=$((count2 - count))
((added >= 5 && added <= most)) || fail "Generate pressed twice gave $added new passwords, expected 5 to $most"
assert_alive "after the clicks"
log PASS
