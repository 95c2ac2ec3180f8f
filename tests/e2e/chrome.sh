#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# The real window under openbox: it has no system frame; its title bar moves it by exactly the
# pointer's travel also after a click in its body (one made while the program was busy too), and
# never above the top of the screen; its surface, edge and corner move and resize it; its minimise
# button minimises it; "?" opens one help window, brings it back in front after a click on the main
# window, and Escape or the help window's own close button closes it; the close button ends the
# program with status 0.
set -euo pipefail
source "$(dirname "$0")/../e2e-common.bash"

# Drags with the left button from one screen point to another in a few steps.
drag() {
    xdotool mousemove "$1" "$2" sleep 0.1 mousedown 1
    for step in 1 2 3 4; do
        xdotool sleep 0.1 mousemove $(($1 + ($3 - $1) * step / 4)) $(($2 + ($4 - $2) * step / 4))
    done
    xdotool sleep 0.1 mouseup 1
}

at() { [ "$(geometry)" = "$1" ]; }
# Waits for the window to reach the geometry $1, else fails with $2.
expect_geometry() {
    retry at "$1" || fail "$2: window is at '$(geometry)', expected '$1'"
}

# Sets close_, minimise_ and help_x/_y relative to the window: the title bar's icons are the bright
# columns in the right half of the bar, right to left close, minimise, help and contact.
find_bar_icons() {
    local x y w
    xdotool mousemove 0 1000 sleep 0.2
    read -r x y w _ < <(geometry)
    screenshot "$workdir/bar.png"
    read -r close_x close_y minimise_x minimise_y help_x help_y < <(
        convert "$workdir/bar.png" -crop "$((w / 2))x60+$((x + w / 2))+$((y + 7))" +repage -depth 8 rgb:- |
            python3 -c '
import sys
w = int(sys.argv[1])
data = sys.stdin.buffer.read()
bright = [[row for row in range(60) if min(data[(row * w + col) * 3:(row * w + col) * 3 + 3]) > 200] for col in range(w)]
icons = []
for col in [col for col in range(w) if bright[col]]:
    if icons and col - icons[-1][-1] <= 3:
        icons[-1].append(col)
    else:
        icons.append([col])
if len(icons) < 4:
    sys.exit("title bar icons not found")
for cols in reversed(icons[-3:]):
    ys = [row for col in cols for row in bright[col]]
    print(w + (cols[0] + cols[-1]) // 2, 7 + (min(ys) + max(ys)) // 2, end=" ")
print()
' "$((w / 2))"
    ) || fail "title bar icons not found"
}

# Whether the window $1 is the topmost and (with a second argument) the active one.
on_top() {
    (($(xprop -root _NET_CLIENT_LIST_STACKING | awk '{print $NF}') == $1)) &&
        { [ $# = 1 ] || (($(xprop -root _NET_ACTIVE_WINDOW | awk '{print $NF}') == $1)); }
}

# Sets $help to the one visible help window.
help_shown() {
    help=$(xdotool search --onlyvisible --name '^Parcelo$' | grep -vx "$window" | head -n 1) && [ -n "$help" ]
}

start_parcelo
hints=$(xprop -id "$window" _MOTIF_WM_HINTS)
# flags, functions, decorations, ...: the decorations field is in force and asks for none.
read -r flags _ decorations _ < <(echo "${hints#*= }" | tr -d ,)
(((flags & 2) != 0 && decorations == 0)) || fail "the window asks for a system frame: $hints"
read -r x y w h < <(geometry)
[ "$w $h" = "980 660" ] || fail "the window is ${w}x${h}, not 980x660"

# Title bar drags after a click in the body, also one the program takes in only once it is over.
xdotool mousemove $((x + 450)) $((y + 280)) click 1 sleep 0.3
drag $((x + 300)) $((y + 35)) $((x + 300 - 40)) $((y + 35 - 30))
expect_geometry "$((x - 40)) $((y - 30)) $w $h" "title bar drag after a click in the body"
read -r x y w h < <(geometry)
xdotool mousemove $((x + 450)) $((y + 280))
kill -STOP "$pid"
xdotool click 1 sleep 0.2
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

# Move by the surface, resize by an edge and a corner.
read -r x y w h < <(geometry)
drag $((x + 20)) $((y + 300)) $((x + 20 - 100)) $((y + 300 - 25))
expect_geometry "$((x - 100)) $((y - 25)) $w $h" "surface drag"
read -r x y w h < <(geometry)
drag $((x + w - 1)) $((y + h / 2)) $((x + w - 1 + 60)) $((y + h / 2))
expect_geometry "$x $y $((w + 60)) $h" "right edge drag"
read -r x y w h < <(geometry)
drag $((x + w - 1)) $((y + h - 1)) $((x + w - 1 + 90)) $((y + h - 1 + 60))
expect_geometry "$x $y $((w + 90)) $((h + 60))" "bottom-right corner drag"

# Minimise, and back.
find_bar_icons
before=$(geometry)
click_at "$minimise_x" "$minimise_y"
retry eval 'xprop -id "$window" WM_STATE | grep -q Iconic' ||
    fail "the minimise button left the window $(xprop -id "$window" WM_STATE)"
xdotool windowactivate "$window"
retry eval 'xwininfo -id "$window" | grep -q IsViewable' || fail "the window did not come back"
expect_geometry "$before" "restored window"

# The help window, in front, a dialog to read: its frame offers close, no maximise; minimise is
# openbox's own.
click_at "$help_x" "$help_y"
retry help_shown || fail "\"?\" showed no help window"
retry on_top "$help" active || fail "the help window is not in front and active"
actions=$(xprop -id "$help" _NET_WM_ALLOWED_ACTIONS)
[[ $actions == *CLOSE* && $actions != *MAXIMIZE* ]] || fail "the help window allows $actions"
read -r _ functions _ < <(xprop -id "$help" _MOTIF_WM_HINTS | sed 's/.*= //' | tr -d ,)
(((functions & 0x18) == 0 && (functions & 0x20) != 0)) || fail "the help window asks for functions $functions"

click_at 300 35
retry on_top "$window" || fail "a click on the main window left it behind help"
click_at "$help_x" "$help_y"
retry on_top "$help" active || fail "\"?\" after a click on the main window left the help window behind"

xdotool key Escape
wait_log 'hidden HelpWidget' 5 >/dev/null || fail "Escape did not close the help window"
skip=$(log_lines)
click_at "$help_x" "$help_y"
retry help_shown && retry on_top "$help" active || fail "\"?\" after Escape showed no help window in front"
read -r left right top _ < <(xprop -id "$help" _NET_FRAME_EXTENTS | sed 's/.*= //' | tr -d ,)
read -r hx hy hw _ < <(geometry "$help")
xdotool mousemove $((hx + hw + right - 12)) $((hy - top / 2)) click 1
wait_log 'hidden HelpWidget' 5 "$skip" >/dev/null || fail "the help window's close button did not close it"

click_at "$close_x" "$close_y"
wait_exit
[ "$status" = 0 ] || fail "the close button ended the program with status $status"
echo "chrome: ok"
