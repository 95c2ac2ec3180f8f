#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Real drags from another program. Onto the file list: the dropped files and the folder are taken
# (each tile that follows is the unit tests' concern), and the web link that came with them is left
# out. Onto the window outside the list: the list's border takes the primary colour while the drag
# is over the window and loses it on the drop; a new file is taken, and a file over the limit and
# the three already listed bring one message naming them all, with the room left.
set -euo pipefail
source "$(dirname "$0")/../e2e-common.bash"

source_pid=
trap 'cleanup; [ -n "$source_pid" ] && kill "$source_pid" 2>/dev/null || true' EXIT

mkdir -p "$workdir/drop/photos" "$workdir/again/photos"
for folder in drop again; do
    head -c 5000 /dev/zero >"$workdir/$folder/report.pdf"
    head -c 300 /dev/zero >"$workdir/$folder/notes.txt"
    head -c 70000 /dev/zero >"$workdir/$folder/photos/beach.jpg"
done
head -c 100 /dev/zero >"$workdir/again/extra.txt"
# Sparse: only its length counts.
truncate -s 600M "$workdir/again/huge.bin"

# Prints the file list's left, top, right and bottom edges relative to the window, found as the box
# drawn in the colour given as six hex digits.
locate_panel() {
    scan_window '
border = bytes.fromhex(sys.argv[3])
rows = [r for r in range(h) if data[r * w * 3:(r + 1) * w * 3].count(border) > w // 2]
if len(rows) < 2:
    sys.exit("no file list found")
line = data[rows[0] * w * 3:(rows[0] + 1) * w * 3]
cols = [c for c in range(w) if line[c * 3:c * 3 + 3] == border]
print(cols[0], rows[0], cols[-1], rows[-1])
' "$1"
}

# Drags the paths given after the target point (relative to the window) from the drag source onto
# it; while the pointer rests there, the list's highlighted border must show, and is kept in
# $workdir/highlight.
drag_to() {
    local to_x=$1 to_y=$2 source_window from_x from_y width height before
    shift 2
    "$builddir/tests/dragsource" "$@" >"$workdir/source.log" 2>&1 &
    source_pid=$!
    source_window=$(find_window '^Drag source$') || fail "the drag source did not appear"
    # The window manager places the window after it shows.
    sleep 0.5
    read -r from_x from_y width height < <(geometry "$source_window")
    read -r x y _ _ < <(geometry)
    before=$(log_lines)
    from_x=$((from_x + width / 2)) from_y=$((from_y + height / 2)) to_x=$((x + to_x)) to_y=$((y + to_y))
    xdotool mousemove "$from_x" "$from_y" sleep 0.2 mousedown 1 sleep 0.5
    for step in $(seq 1 20); do
        xdotool mousemove $((from_x + (to_x - from_x) * step / 20)) $((from_y + (to_y - from_y) * step / 20)) sleep 0.05
    done
    sleep 0.5
    locate_panel 5272BA >"$workdir/highlight" || fail "the list did not show that it takes the drag"
    xdotool mouseup 1
    tries=50 retry grep -q '^drop ' "$workdir/source.log" || true
    grep -q '^drop taken' "$workdir/source.log" || fail "the drop was not taken: $(cat "$workdir/source.log")"
    # The program fetches the dropped data from the source after the drop.
    wait_log 'dropped ' 20 "$before" >/dev/null || fail "the program took nothing from the drop"
    kill "$source_pid" 2>/dev/null || true
    wait "$source_pid" 2>/dev/null || true
    source_pid=
}

start_parcelo
read -r left top right bottom < <(locate_panel BDCEE5) || fail "file list not found"

drag_to $(((left + right) / 2)) $(((top + bottom) / 2)) "$workdir/drop/report.pdf" "$workdir/drop/photos" \
    "https://example.com/page.pdf" "$workdir/drop/notes.txt"
# The program takes the dropped entries one by one after the source has seen the drop taken.
for name in report.pdf photos notes.txt; do
    wait_log "listed \"$workdir/drop/$name\"" >/dev/null || fail "$name was not listed"
done
grep -q 'dropped "https\|dropped ""' "$workdir/log" && fail "the web link was taken as a file"

# The destination row that shows with the first file moves the list up.
read -r left top right bottom < <(locate_panel BDCEE5) || fail "file list not found"
# Above the list, on the hint that asks for the drop.
lines=$(log_lines)
drag_to $(((left + right) / 2)) $((top - 15)) "$workdir/again/huge.bin" "$workdir/again/report.pdf" \
    "$workdir/again/extra.txt" "$workdir/again/photos" "$workdir/again/notes.txt"
read -r hl_left hl_top hl_right hl_bottom <"$workdir/highlight"
# The corners are drawn a pixel apart.
[ "$hl_top $hl_bottom" = "$top $bottom" ] && [ $((hl_left - left)) -le 1 ] && [ $((right - hl_right)) -le 1 ] ||
    fail "the highlight ($hl_left $hl_top $hl_right $hl_bottom) is not the list's border ($left $top $right $bottom)"
wait_log "listed \"$workdir/again/extra.txt\"" 20 "$lines" >/dev/null || fail "the drop outside the list was not taken"
wait_log 'shown QMessageBox .* text="You can.t add more than 500 MB of files" informative="Not added: huge.bin \(600 MB\). 499.93 MB of the 500 MB are left.\\nAlready listed: report.pdf, photos, notes.txt."' 20 "$lines" >/dev/null ||
    fail "no message named the entries refused with the room left"
wait_dialog_focus
xdotool key Return
wait_log 'hidden QMessageBox' 20 "$lines" >/dev/null || fail "the message did not close"
[ "$(tail -n +$((lines + 1)) "$workdir/log" | grep -c 'shown QMessageBox')" = 1 ] || fail "more than one message for one drop"
locate_panel 5272BA >/dev/null 2>&1 && fail "the list stays highlighted after the drop"
echo "drop: ok"
