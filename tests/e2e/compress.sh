#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# "Compress" by real clicks and keys, one program per flow: the success box answered by a click on
# OK and by Return, with the archive holding the chosen files; the packing window's "Cancel" by a
# click, by Escape and by Space, each stopping 7-Zip at once and leaving nothing in the destination
# while the list stays; and a long removal of the renamed copies, which shows its window while the
# main window drops the clicks made meanwhile.
set -euo pipefail
source "$(dirname "$0")/../e2e-common.bash"

export TMPDIR=$workdir/tmp
mkdir -p "$TMPDIR" "$workdir/bin" "$workdir/data" "$workdir/big"
# "Open" would start the file manager: here it only notes that it was asked.
printf '#!/bin/sh\necho "$@" >>"%s/opened"\n' "$workdir" >"$workdir/bin/xdg-open"
chmod +x "$workdir/bin/xdg-open"
export PATH=$workdir/bin:$PATH
echo "first file" >"$workdir/data/notes one.txt"
echo "second file" >"$workdir/data/second (2).txt"
# Text that 7-Zip needs several seconds to deflate, so there is time to cancel.
head -c 150000000 /dev/urandom | base64 -w 76 >"$workdir/big/big.txt"

# Prints the centres of the blue buttons in window $1, relative to it, left to right.
blue_buttons() {
    read -r x y w h < <(geometry "$1")
    screenshot "$workdir/dialog.png"
    convert "$workdir/dialog.png" -crop "${w}x${h}+${x}+${y}" +repage -depth 8 rgb:- | python3 -c '
import sys
w, h = int(sys.argv[1]), int(sys.argv[2])
data = sys.stdin.buffer.read()
blue = bytes((0x52, 0x72, 0xBA))
spans = {}
for row in range(h):
    line = data[row * w * 3:(row + 1) * w * 3]
    col = 0
    while col < w:
        if line[col * 3:col * 3 + 3] != blue:
            col += 1
            continue
        start = col
        while col < w and line[col * 3:col * 3 + 3] == blue:
            col += 1
        if col - start >= 40:
            spans.setdefault(start // 8, []).append((row, start, col))
for key in sorted(spans):
    rows = spans[key]
    if len(rows) >= 8:
        print((rows[0][1] + max(r[2] for r in rows)) // 2, (rows[0][0] + rows[-1][0]) // 2)
' "$w" "$h"
}

# The id of the visible window titled Parcelo that is not the main window.
dialog_window() {
    for _ in $(seq 100); do
        for id in $(xdotool search --onlyvisible --name '^Parcelo$' 2>/dev/null); do
            [ "$id" != "$window" ] && echo "$id" && return 0
        done
        sleep 0.1
    done
    return 1
}

# The archiver processes of the program.
archivers() {
    pgrep -P "$pid" || true
}

start_flow() {
    rm -f "$workdir/opened"
    start_parcelo
    find_buttons
}

end_flow() {
    kill "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
    pid=
}

# Success, answered by a click on OK and by Return: the archive holds exactly the chosen files.
for answer in click Return; do
    rm -f "$workdir/data/data.7z"
    start_flow
    pick_file "$workdir/data/notes one.txt"
    find_buttons # the destination row has come
    pick_file "$workdir/data/second (2).txt"
    click_at "$compress_x" "$compress_y"
    wait_log 'shown QMessageBox .*text="Compression finished successfully!"' 60 || fail "no success box ($answer)"
    box=$(dialog_window) || fail "the success box is not on screen"
    sleep 0.3
    if [ "$answer" = click ]; then
        read -r ok_x ok_y < <(blue_buttons "$box" | tail -n 1) || fail "no OK button found"
        read -r bx by _ _ < <(geometry "$box")
        xdotool mousemove $((bx + ok_x)) $((by + ok_y)) click 1
    else
        xdotool key Return
    fi
    wait_log 'hidden QMessageBox .*text="Compression finished successfully!"' 10 || fail "the box did not close ($answer)"
    [ -e "$workdir/opened" ] && fail "OK opened the folder"
    names=$(7zz l -slt "$workdir/data/data.7z" | sed -n 's/^Path = //p' | tail -n +2 | sort | tr '\n' '|')
    [ "$names" = "notes one.txt|second (2).txt|" ] || fail "the archive holds: $names"
    end_flow
done

# Cancel by a click, by Escape and by Space on the focused button.
for gesture in click Escape space; do
    start_flow
    pick_file "$workdir/big/big.txt"
    find_buttons
    for attempt in first again; do
        skip=$(log_lines)
        click_at "$compress_x" "$compress_y"
        wait_log 'shown QProgressDialog .*text="Packing 1 file' 30 "$skip" ||
            fail "no packing window ($gesture, $attempt): the list did not stay"
        for _ in $(seq 100); do [ -n "$(archivers)" ] && break; sleep 0.1; done
        [ -n "$(archivers)" ] || fail "7-Zip did not start"
        progress=$(dialog_window) || fail "the packing window is not on screen"
        sleep 0.5
        screenshot "$builddir/e2e-compress-packing.png"
        xprop -id "$progress" _MOTIF_WM_HINTS | grep -q '= 0x3, 0x26,' ||
            fail "the packing window offers more than close: $(xprop -id "$progress" _MOTIF_WM_HINTS)"
        case $gesture in
        click)
            read -r cancel_bx cancel_by < <(blue_buttons "$progress" | tail -n 1) || fail "no Cancel button found"
            read -r px py _ _ < <(geometry "$progress")
            xdotool mousemove $((px + cancel_bx)) $((py + cancel_by)) click 1
            ;;
        *) xdotool key "$gesture" ;;
        esac
        wait_log 'hidden QProgressDialog' 5 "$skip" || fail "Cancel by $gesture did not close the window"
        # The window goes at the gesture; 7-Zip and its unfinished folder a moment later.
        for _ in $(seq 30); do
            [ -z "$(archivers)" ] && [ "$(ls -A "$workdir/big")" = big.txt ] && break
            sleep 0.1
        done
        [ -z "$(archivers)" ] || fail "7-Zip still runs after Cancel by $gesture"
        left=$(ls -A "$workdir/big")
        [ "$left" = big.txt ] || fail "Cancel by $gesture left: $left"
        wait_log 'shown QMessageBox' 1 "$skip" && fail "Cancel by $gesture showed a message"
    done
    end_flow
done

# A long removal: the program's renamed copies, here 100,000 files in its own folder.
rm -f "$workdir/data/data.7z"
start_flow
pick_file "$workdir/data/notes one.txt"
find_buttons
# Renamed by a click on the tile's name, just below and left of its remove button.
screenshot "$workdir/tile.png"
read -r x y w h < <(geometry)
read -r dot_x dot_y < <(convert "$workdir/tile.png" -crop "${w}x300+${x}+$((y + 100))" +repage -depth 8 rgb:- |
    python3 -c '
import sys
w = int(sys.argv[1])
data = sys.stdin.buffer.read()
blue = bytes((0x52, 0x72, 0xBA))
for row in range(len(data) // (w * 3)):
    line = data[row * w * 3:(row + 1) * w * 3]
    at = line.find(blue * 10)
    if at >= 0 and at % 3 == 0:
        print(at // 3 + 5, row + 100)
        break
' "$w") || fail "no tile found"
click_at $((dot_x - 34)) $((dot_y + 36))
find_window 'Change name' >/dev/null || fail "the rename dialog did not appear"
sleep 0.3
xdotool key ctrl+a type --delay 5 "renamed.txt"
xdotool key Return
run=
for _ in $(seq 50); do
    run=$(ls -d "$TMPDIR"/parcelo/run-*/ 2>/dev/null | head -n 1) && [ -e "$run/renamed.txt" ] && break
    sleep 0.1
done
[ -e "$run/renamed.txt" ] || fail "the rename made no copy"
(cd "$run" && for d in $(seq 0 99); do mkdir "d$d" && (cd "d$d" && seq 1 1000 | xargs touch); done)
click_at "$compress_x" "$compress_y"
wait_log 'shown QMessageBox .*text="Compression finished successfully!"' 60 || fail "no success box"
sleep 0.3
skip=$(log_lines)
read -r x y _ _ < <(geometry)
xdotool key Return
sleep 0.2
# Clicks on "Compress" while the copies go: with the list empty, each would ask for files.
xdotool mousemove $((x + compress_x)) $((y + compress_y)) click 1 click 1 click 1
tail -n +$((skip + 1)) "$workdir/log" | grep -q 'hidden QProgressDialog .*text="Removing' &&
    fail "the removal ended before the clicks"
wait_log 'shown QProgressDialog .*text="Removing the renamed copies..."' 20 "$skip" ||
    fail "the long removal showed no window"
sleep 0.3
screenshot "$builddir/e2e-compress-removing.png"
wait_log 'hidden QProgressDialog .*text="Removing' 60 "$skip" || fail "the removal did not end"
[ -e "$run" ] && fail "the copies were not removed"
sleep 1
wait_log 'Please select at least one file' 1 "$skip" && fail "clicks made during the removal ran afterwards"
names=$(7zz l -slt "$workdir/data/data.7z" | sed -n 's/^Path = //p' | tail -n +2 | tr '\n' '|')
[ "$names" = "renamed.txt|" ] || fail "the archive holds: $names"
end_flow
echo "compress: ok"
