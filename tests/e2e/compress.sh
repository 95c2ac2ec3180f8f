#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# "Compress" by real clicks and keys: the success box answered by a click on OK, with the archive
# holding the chosen files; the packing window's "Cancel" by a click, by Escape and by Space, each
# stopping 7-Zip at once and leaving nothing in the destination while the list stays; then, in a
# second program, the copies' folder refused in the save dialog, a success answered by Return and a
# long removal of the renamed copies, which shows its window while the main window drops the clicks
# made meanwhile.
set -euo pipefail
source "$(dirname "$0")/../e2e-common.bash"

export TMPDIR=$workdir/tmp
mkdir -p "$TMPDIR" "$workdir/data" "$workdir/big"
stand_in_opener # "Open" would start the file manager
echo "first file" >"$workdir/data/notes one.txt"
echo "second file" >"$workdir/data/second (2).txt"
# Text that 7-Zip needs several seconds to deflate, so there is time to cancel.
head -c 150000000 /dev/urandom | base64 -w 76 >"$workdir/big/big.txt"

# Prints "x y width height" of each patch of the buttons' blue in window $1, relative to it, left to right.
blue_patches() {
    read -r x y w h < <(geometry "$1")
    screenshot "$workdir/patches.png"
    convert "$workdir/patches.png" -crop "${w}x${h}+${x}+${y}" +repage -fill black +opaque '#5272BA' \
        -fill white -opaque '#5272BA' -define connected-components:verbose=true \
        -define connected-components:area-threshold=100 -connected-components 8 null: |
        awk '$NF == "srgb(255,255,255)" { split($2, b, /[x+]/); print b[3], b[4], b[1], b[2] }' | sort -n
}

# Clicks the rightmost button (OK, Cancel) of the dialog that has the keyboard.
click_last_button() {
    wait_dialog_focus Parcelo
    local dialog bx by bw bh
    dialog=$(xdotool getactivewindow)
    read -r bx by bw bh < <(blue_patches "$dialog" | tail -n 1) || fail "no button in the dialog"
    read -r x y _ _ < <(geometry "$dialog")
    xdotool mousemove $((x + bx + bw / 2)) $((y + by + bh / 2)) click 1
}

# Checks that the archive holds exactly these entries, given as "a|b|" in order.
archive_holds() {
    local names
    names=$(7zz l -slt "$workdir/data/data.7z" | sed -n 's/^Path = //p' | tail -n +2 | sort | tr '\n' '|')
    [ "$names" = "$1" ] || fail "the archive holds: $names"
}

# Success answered by a click on OK, which does not open the folder.
start_parcelo
find_buttons
pick_file "$workdir/data/notes one.txt"
find_buttons # the destination row has come
pick_file "$workdir/data/second (2).txt"
click_at "$compress_x" "$compress_y"
wait_log 'shown QMessageBox .*text="Compression finished successfully!"' 60 || fail "no success box"
sleep 0.3
click_last_button
wait_log 'hidden QMessageBox .*text="Compression finished successfully!"' 10 || fail "OK did not close the box"
archive_holds "notes one.txt|second (2).txt|"

# Cancel by a click, by Escape and by Space on the focused button; each next run shows that the list stayed.
find_buttons # the destination row has gone
pick_file "$workdir/big/big.txt"
find_buttons
cancels=$(log_lines)
for gesture in click Escape space; do
    skip=$(log_lines)
    click_at "$compress_x" "$compress_y"
    wait_log 'shown QProgressDialog .*text="Packing 1 file' 30 "$skip" ||
        fail "no packing window ($gesture): the list did not stay"
    tries=100 retry pgrep -P "$pid" >/dev/null || fail "7-Zip did not start"
    wait_dialog_focus Parcelo
    # Close only, in the hints and in what the window manager offers.
    hints=$(xprop -id "$(xdotool getactivewindow)" _MOTIF_WM_HINTS _NET_WM_ALLOWED_ACTIONS)
    [[ $hints == *'= 0x3, 0x26,'* && $hints != *MAXIMIZE* ]] || fail "the packing window offers more than close: $hints"
    sleep 0.3
    case $gesture in
    click) click_last_button && cp "$workdir/patches.png" "$builddir/e2e-compress-packing.png" ;;
    *) xdotool key "$gesture" ;;
    esac
    wait_log 'hidden QProgressDialog' 5 "$skip" || fail "Cancel by $gesture did not close the window"
    # The window goes at the gesture; 7-Zip and its unfinished folder a moment later.
    retry eval '! pgrep -P "$pid" >/dev/null && [ "$(ls -A "$workdir/big")" = big.txt ]' || true
    [ -z "$(pgrep -P "$pid")" ] || fail "7-Zip still runs after Cancel by $gesture"
    [ "$(ls -A "$workdir/big")" = big.txt ] || fail "Cancel by $gesture left: $(ls -A "$workdir/big")"
done
wait_log 'shown QMessageBox' 1 "$cancels" && fail "a Cancel showed a message"
[ -e "$workdir/opened" ] && fail "OK opened the folder"
kill "$pid" && wait "$pid" || true

# A long removal: the program's renamed copies, here 100,000 entries in its own folder.
rm "$workdir/data/data.7z"
start_parcelo
find_buttons
pick_file "$workdir/data/notes one.txt"
find_buttons
# Renamed by a click on the tile's name, below and left of its round remove button.
read -r dot_x dot_y _ < <(blue_patches "$window" | awk '$3 < 30 && $4 < 30') || fail "no tile found"
click_at $((dot_x - 25)) $((dot_y + 37))
wait_dialog_focus 'Change name'
xdotool key ctrl+a type --delay 5 "renamed.txt"
xdotool key Return
tries=50 retry eval 'copy=$(ls "$XDG_CACHE_HOME"/parcelo/run-*/renamed.txt 2>/dev/null)' || fail "the rename made no copy"
run=${copy%/renamed.txt}
# The save dialog may not put the archive among the copies, which go after packing.
click_at $((browse_x + 150)) $((browse_y + 28))
find_window 'Save File' >/dev/null || fail "the save dialog did not appear"
wait_dialog_focus 'Save File'
xdotool type --delay 5 "$run/MyArchive"
confirm_dialog 'Save File'
wait_log 'shown QMessageBox .*text="Please choose another folder for the archive."' || fail "the copies' folder was taken"
wait_dialog_focus Parcelo
xdotool key Return
# Hard links, a thousand a folder, which are quick to make and as slow to remove as files.
python3 -c 'import os, sys
for d in range(100):
    os.mkdir(folder := f"{sys.argv[1]}/d{d}")
    open(f"{folder}/0", "w").close()
    [os.link(f"{folder}/0", f"{folder}/{n}") for n in range(1, 1000)]' "$run"
click_at "$compress_x" "$compress_y"
wait_log 'shown QMessageBox .*text="Compression finished successfully!"' 60 || fail "no success box"
wait_dialog_focus Parcelo
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
wait_log 'Please select at least one file' 2 "$skip" && fail "clicks made during the removal ran afterwards"
[ -e "$workdir/opened" ] && fail "Return opened the folder"
archive_holds "renamed.txt|"
echo "compress: ok"
