#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# The real window under openbox, one program per flow: it has no system frame; its title bar
# moves it by exactly the pointer's travel also after a click in its body (one made while the
# program was busy too), and never above the top of the screen; its edge and corner resize it; its
# minimise button minimises it; "?" opens one help window, brings it back in front after a click on
# the main window, and Escape or the help window's own close button closes it; the close button
# ends the program with status 0.
set -euo pipefail
source "$(dirname "$0")/../e2e-common.bash"

# Drags with the left button from one screen point to another in a few steps.
drag() {
    local x0=$1 y0=$2 x1=$3 y1=$4
    xdotool mousemove "$x0" "$y0"
    sleep 0.1
    xdotool mousedown 1
    for step in 1 2 3 4; do
        sleep 0.1
        xdotool mousemove $((x0 + (x1 - x0) * step / 4)) $((y0 + (y1 - y0) * step / 4))
    done
    sleep 0.1
    xdotool mouseup 1
}

# Waits for the window to reach the geometry $1, else fails with $2.
expect_geometry() {
    local got
    for _ in $(seq 30); do
        got=$(geometry)
        [ "$got" = "$1" ] && return 0
        sleep 0.1
    done
    fail "$2: window is at '$got', expected '$1'"
}

stop_parcelo() {
    kill "$pid"
    wait "$pid" 2>/dev/null || true
    pid=
}

# Prints the centres of the title bar's four icons, right to left (close, minimise, help,
# contact), relative to the window: the bright columns in the right half of the bar.
locate_bar_icons() {
    local x y w
    read -r x y w _ < <(geometry)
    screenshot "$workdir/bar.png"
    convert "$workdir/bar.png" -crop "$((w / 2))x60+$((x + w / 2))+$((y + 7))" +repage -depth 8 rgb:- |
        python3 -c '
import sys
w, h, left = int(sys.argv[1]), 60, int(sys.argv[2])
data = sys.stdin.buffer.read()
def bright(col, row):
    r, g, b = data[(row * w + col) * 3:(row * w + col) * 3 + 3]
    return min(r, g, b) > 200
rows = {col: [row for row in range(h) if bright(col, row)] for col in range(w)}
clusters = []
for col in range(w):
    if not rows[col]:
        continue
    if clusters and col - clusters[-1][-1] <= 3:
        clusters[-1].append(col)
    else:
        clusters.append([col])
if len(clusters) < 4:
    sys.exit("title bar icons not found")
out = []
for cols in reversed(clusters[-4:]):
    ys = [row for col in cols for row in rows[col]]
    out += [left + (cols[0] + cols[-1]) // 2, 7 + (min(ys) + max(ys)) // 2]
print(*out)
' "$((w / 2))" "$((w / 2))"
}

find_bar_icons() {
    xdotool mousemove 0 1000
    sleep 0.2
    read -r close_x close_y minimise_x minimise_y help_x help_y _ _ < <(locate_bar_icons) ||
        fail "title bar icons not found"
}

# Stacking order of the managed windows, bottom first.
stacking() {
    xprop -root _NET_CLIENT_LIST_STACKING | sed 's/.*# //; s/,//g'
}

# The one visible help window's id, waiting for it.
help_window() {
    local id
    for _ in $(seq 50); do
        id=$(xdotool search --onlyvisible --name '^Parcelo$' 2>/dev/null | grep -vx "$window" | head -n 1) || true
        [ -n "$id" ] && echo "$id" && return 0
        sleep 0.1
    done
    return 1
}

# Fails unless the help window $1 is the topmost window and the active one.
expect_help_in_front() {
    local top active
    for _ in $(seq 30); do
        top=$(stacking | awk '{print $NF}')
        active=$(xprop -root _NET_ACTIVE_WINDOW | sed 's/.*# //')
        ((top == $1 && active == $1)) && return 0
        sleep 0.1
    done
    fail "$2: the help window is not in front and active (stacking $(stacking), active $active)"
}

expect_no_help() {
    wait_log 'hidden HelpWidget' 5 "${2:-0}" >/dev/null || fail "$1: the help window did not close"
    for _ in $(seq 30); do
        [ "$(xdotool search --onlyvisible --name '^Parcelo$' 2>/dev/null | wc -l)" = 1 ] && return 0
        sleep 0.1
    done
    fail "$1: a help window is still shown"
}

# Flow 1: frame, and moves by the title bar after clicks in the body.
start_parcelo
hints=$(xprop -id "$window" _MOTIF_WM_HINTS)
# flags, functions, decorations, ...: the decorations field is in force and asks for none.
read -r flags _ decorations _ < <(echo "${hints#*= }" | tr -d ,)
(((flags & 2) != 0 && decorations == 0)) || fail "the window asks for a system frame: $hints"
read -r x y w h < <(geometry)
[ "$w $h" = "980 660" ] || fail "the window is ${w}x${h}, not 980x660"

xdotool mousemove $((x + 450)) $((y + 280)) click 1
sleep 0.3
drag $((x + 300)) $((y + 35)) $((x + 300 - 40)) $((y + 35 - 30))
expect_geometry "$((x - 40)) $((y - 30)) $w $h" "title bar drag after a click in the body"

# A click the program takes in only once it is over.
read -r x y w h < <(geometry)
xdotool mousemove $((x + 450)) $((y + 280))
kill -STOP "$pid"
xdotool click 1
sleep 0.2
kill -CONT "$pid"
sleep 0.3
drag $((x + 300)) $((y + 35)) $((x + 300 + 25)) $((y + 35 + 20))
expect_geometry "$((x + 25)) $((y + 20)) $w $h" "title bar drag after a click made while the program was busy"

read -r x y w h < <(geometry)
drag $((x + 300)) $((y + 35)) $((x + 300)) 0
expect_geometry "$x 0 $w $h" "title bar dragged to the top of the screen"
read -r x y w h < <(geometry)
drag $((x + 300)) $((y + 35)) $((x + 300 + 50)) $((y + 35 + 120))
expect_geometry "$((x + 50)) 120 $w $h" "title bar drag down from the top"
stop_parcelo

# Flow 2: resize by an edge and a corner, move by the surface, minimise and restore.
start_parcelo
read -r x y w h < <(geometry)
drag $((x + w - 1)) $((y + h / 2)) $((x + w - 1 + 60)) $((y + h / 2))
expect_geometry "$x $y $((w + 60)) $h" "right edge drag"
read -r x y w h < <(geometry)
drag $((x + w - 1)) $((y + h - 1)) $((x + w - 1 + 90)) $((y + h - 1 + 60))
expect_geometry "$x $y $((w + 90)) $((h + 60))" "bottom-right corner drag"
read -r x y w h < <(geometry)
drag $((x + 20)) $((y + 300)) $((x + 20 - 30)) $((y + 300 - 25))
expect_geometry "$((x - 30)) $((y - 25)) $w $h" "surface drag"

find_bar_icons
before=$(geometry)
click_at "$minimise_x" "$minimise_y"
for _ in $(seq 30); do
    xprop -id "$window" WM_STATE | grep -q Iconic && break
    sleep 0.1
done
xprop -id "$window" WM_STATE | grep -q Iconic || fail "the minimise button left the window $(xprop -id "$window" WM_STATE)"
xprop -id "$window" _NET_WM_STATE | grep -q _NET_WM_STATE_HIDDEN || fail "a minimised window is not hidden"
xwininfo -id "$window" | grep -q IsUnMapped || fail "a minimised window is still shown"
xdotool windowactivate "$window"
for _ in $(seq 30); do
    xwininfo -id "$window" | grep -q IsViewable && break
    sleep 0.1
done
xwininfo -id "$window" | grep -q IsViewable || fail "the window did not come back"
xprop -id "$window" WM_STATE | grep -q Normal || fail "the restored window is $(xprop -id "$window" WM_STATE)"
expect_geometry "$before" "restored window"
stop_parcelo

# Flow 3: the help window, and the close button.
start_parcelo
find_bar_icons
for _ in 1 2 3; do
    click_at "$help_x" "$help_y"
    sleep 0.3
done
help=$(help_window) || fail "\"?\" showed no help window"
[ "$(xdotool search --onlyvisible --name '^Parcelo$' | wc -l)" = 2 ] || fail "three help clicks left more than one help window"
expect_help_in_front "$help" "help opened"
# The help window is a dialog to read: its frame offers close, no maximise; minimise is openbox's own.
actions=$(xprop -id "$help" _NET_WM_ALLOWED_ACTIONS)
[[ $actions == *CLOSE* && $actions != *MAXIMIZE* ]] || fail "the help window allows $actions"
read -r _ functions _ < <(xprop -id "$help" _MOTIF_WM_HINTS | sed 's/.*= //' | tr -d ,)
(((functions & 0x18) == 0 && (functions & 0x20) != 0)) || fail "the help window asks for functions $functions"

click_at 300 35
for _ in $(seq 30); do
    (($(stacking | awk '{print $NF}') == window)) && break
    sleep 0.1
done
(($(stacking | awk '{print $NF}') == window)) || fail "a click on the main window left it behind help"
click_at "$help_x" "$help_y"
expect_help_in_front "$help" "\"?\" after a click on the main window"

xdotool key Escape
expect_no_help "Escape"
skip=$(log_lines)
click_at "$help_x" "$help_y"
help=$(help_window) || fail "\"?\" showed no help window after Escape"
expect_help_in_front "$help" "help opened again"
read -r left right top _ < <(xprop -id "$help" _NET_FRAME_EXTENTS | sed 's/.*= //' | tr -d ,)
read -r hx hy hw _ < <(geometry "$help")
xdotool mousemove $((hx + hw + right - 12)) $((hy - top / 2)) click 1
expect_no_help "the help window's close button" "$skip"

click_at "$close_x" "$close_y"
wait_exit
[ "$status" = 0 ] || fail "the close button ended the program with status $status"
echo "chrome: ok"
