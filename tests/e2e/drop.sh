#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# A real drag from another program onto the file list: the dropped files and the folder are taken
# (each tile that follows is the unit tests' concern), and the web link that came with them is left
# out.
set -euo pipefail
source "$(dirname "$0")/../e2e-common.bash"

source_pid=
trap 'cleanup; [ -n "$source_pid" ] && kill "$source_pid" 2>/dev/null || true' EXIT

mkdir -p "$workdir/drop/photos"
head -c 5000 /dev/zero >"$workdir/drop/report.pdf"
head -c 300 /dev/zero >"$workdir/drop/notes.txt"
head -c 70000 /dev/zero >"$workdir/drop/photos/beach.jpg"

# Prints the centre of the file list, found as the box drawn in its border colour, relative to
# the window.
locate_panel() {
    read -r x y w h < <(geometry)
    convert "$workdir/panel.png" -crop "${w}x${h}+${x}+${y}" +repage -depth 8 rgb:- |
        python3 -c '
import sys
w, h = int(sys.argv[1]), int(sys.argv[2])
data = sys.stdin.buffer.read()
border = bytes((0xBD, 0xCE, 0xE5))
rows = [r for r in range(h) if data[r * w * 3:(r + 1) * w * 3].count(border) > w // 2]
if len(rows) < 2:
    sys.exit("no file list found")
line = data[rows[0] * w * 3:(rows[0] + 1) * w * 3]
cols = [c for c in range(w) if line[c * 3:c * 3 + 3] == border]
print((cols[0] + cols[-1]) // 2, (rows[0] + rows[-1]) // 2)
' "$w" "$h"
}

start_parcelo
screenshot "$workdir/panel.png"
read -r panel_x panel_y < <(locate_panel) || fail "file list not found"

"$builddir/tests/dragsource" "$workdir/drop/report.pdf" "$workdir/drop/photos" "https://example.com/page.pdf" \
    "$workdir/drop/notes.txt" >"$workdir/source.log" 2>&1 &
source_pid=$!
source_window=$(find_window '^Drag source$') || fail "the drag source did not appear"
sleep 0.5

eval "$(xdotool getwindowgeometry --shell "$source_window")"
read -r win_x win_y _ _ < <(geometry)
from_x=$((X + WIDTH / 2)) from_y=$((Y + HEIGHT / 2))
to_x=$((win_x + panel_x)) to_y=$((win_y + panel_y))
xdotool mousemove "$from_x" "$from_y"
sleep 0.2
xdotool mousedown 1
sleep 0.5
for step in $(seq 1 20); do
    xdotool mousemove $((from_x + (to_x - from_x) * step / 20)) $((from_y + (to_y - from_y) * step / 20))
    sleep 0.05
done
sleep 0.5
xdotool mouseup 1

for _ in $(seq 50); do
    grep -q '^drop ' "$workdir/source.log" && break
    sleep 0.1
done
grep -q '^drop taken' "$workdir/source.log" || fail "the drop was not taken: $(cat "$workdir/source.log")"

# The program takes the dropped entries one by one after the source has seen the drop taken.
for name in report.pdf photos notes.txt; do
    for _ in $(seq 100); do
        grep -q "dropped \"$workdir/drop/$name\"" "$workdir/log" && continue 2
        sleep 0.1
    done
    fail "$name was not dropped"
done
grep -q 'dropped "https\|dropped ""' "$workdir/log" && fail "the web link was taken as a file"
echo "drop: ok"
