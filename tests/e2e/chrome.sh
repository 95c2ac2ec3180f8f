#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# The real window has no system frame, follows a drag of its title bar and of its surface, grows
# with a drag of its bottom-right corner, and its close button ends it with status 0 also while
# its one help window is open.
set -euo pipefail
source "$(dirname "$0")/../e2e-common.bash"

# Drags with the left button from one screen point to another in a few steps.
drag() {
    local x0=$1 y0=$2 x1=$3 y1=$4
    xdotool mousemove "$x0" "$y0" mousedown 1
    for step in 1 2 3 4; do
        xdotool mousemove $((x0 + (x1 - x0) * step / 4)) $((y0 + (y1 - y0) * step / 4))
        sleep 0.1
    done
    xdotool mouseup 1
    sleep 0.3
}

expect_geometry() {
    local got
    got=$(geometry)
    [ "$got" = "$1" ] || fail "$2: window is at '$got', expected '$1'"
}

# Prints the centres of the title bar's four icons, right to left (close, minimise, help,
# contact), relative to the window: the bright columns in the right half of the bar.
locate_bar_icons() {
    read -r x y w _ < <(geometry)
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

start_parcelo
hints=$(xprop -id "$window" _MOTIF_WM_HINTS)
# flags, functions, decorations, ...: the decorations field is in force and asks for none.
read -r flags _ decorations _ < <(echo "${hints#*= }" | tr -d ,)
(( (flags & 2) != 0 && decorations == 0 )) || fail "the window asks for a system frame: $hints"

# The window opens centred at 980 x 660; up and to the left leaves room for the corner drag below.
read -r x y w h < <(geometry)
[ "$w $h" = "980 660" ] || fail "the window is ${w}x${h}, not 980x660"
drag $((x + 300)) $((y + 35)) $((x + 300 - 120)) $((y + 35 - 70))
expect_geometry "$((x - 120)) $((y - 70)) $w $h" "title bar drag"

read -r x y w h < <(geometry)
drag $((x + 20)) $((y + 300)) $((x + 20 + 30)) $((y + 300 + 25))
expect_geometry "$((x + 30)) $((y + 25)) $w $h" "surface drag"

read -r x y w h < <(geometry)
drag $((x + w - 1)) $((y + h - 1)) $((x + w - 1 + 90)) $((y + h - 1 + 60))
expect_geometry "$x $y $((w + 90)) $((h + 60))" "bottom-right corner drag"

screenshot "$workdir/bar.png"
read -r close_x close_y _ _ help_x help_y _ _ < <(locate_bar_icons) || fail "title bar icons not found"
for _ in 1 2 3; do
    click_at "$help_x" "$help_y"
    sleep 0.3
done
windows=$(xdotool search --onlyvisible --name '^Parcelo$' | wc -l)
[ "$windows" = 2 ] || fail "three help clicks left $windows windows titled Parcelo, expected 2: one help window"

click_at "$close_x" "$close_y"
wait_exit
[ "$status" = 0 ] || fail "the close button ended the program with status $status"
echo "chrome: ok"
