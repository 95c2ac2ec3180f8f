#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# The laid-out Windows program under Wine, in Wine's desktop of 1024 x 600 ($1 starts it; run by
# scripts/windows.sh): the whole window inside the desktop; a click on its surface leaves it where it
# is; UTF-8 names added by pasting their paths in Windows' open dialog, "Compress", the success box, and the
# archive as Debian's 7zz reads it; a destination nobody may write, with nothing left; "Cancel" in
# the packing window stopping 7-Zip with nothing left.
set -euo pipefail
source "$(dirname "$0")/../e2e-common.bash"
start_window_manager() { :; } # Wine's desktop places and activates its windows itself
# Picks a file in Windows' open dialog by pasting its path into the name box: Wine drops typed
# letters that have no key of their own.
pick_file() {
    printf 'Z:%s' "${1//\//\\}" | xclip -selection clipboard
    click_at "$browse_x" "$browse_y"
    find_window 'Select one or more files to open' >/dev/null || fail "the open dialog did not appear"
    sleep 0.3
    xdotool key ctrl+v Return
    tries=50 retry eval "! xdotool search --onlyvisible --name 'Select one or more files to open' >/dev/null 2>&1" ||
        fail "the open dialog did not close"
}

mkdir -p "$workdir/data" "$workdir/big"
printf 'first\n' >"$workdir/data/résumé ü.txt"
printf 'second file\n' >"$workdir/data/日本 🎉.txt"
head -c 150000000 /dev/urandom | base64 -w 76 >"$workdir/big/big.txt"
trap 'chattr -i "$workdir/data" 2>/dev/null; cleanup' EXIT

start_parcelo
read -r x y w h < <(geometry)
((x >= 0 && y >= 0 && x + w <= 1024 && y + h <= 600)) || fail "the window leaves the desktop: $x $y $w $h"
screenshot "$builddir/e2e-windows-window.png"
# A click on the surface below the list, then the pointer moves on: the window stays.
click_at $((w / 2)) $((h - 150))
xdotool mousemove_relative 150 60
for _ in $(seq 10); do
    [ "$(geometry)" = "$x $y $w $h" ] || fail "the window followed the pointer after a click: $(geometry)"
    sleep 0.1
done

find_buttons
empty_list_browse="$browse_x $browse_y"
pick_file "$workdir/data/résumé ü.txt"
find_buttons # the destination row has come
listed_browse="$browse_x $browse_y"
skip=$(log_lines)
pick_file "$workdir/data/日本 🎉.txt"
wait_log 'listed ' 10 "$skip" || fail "the second name was not added"
screenshot "$builddir/e2e-windows-listed.png"
click_at "$compress_x" "$compress_y"
wait_log 'shown QMessageBox .*text="Compression finished successfully!"' 60 || fail "no success box"
xdotool key Return
wait_log 'hidden QMessageBox .*text="Compression finished successfully!"' 10 || fail "Return did not close the box"
listing=$(7zz l -slt "$workdir/data/data.7z" | awk -F' = ' '/^Path = /{p=$2} /^Size = /{print p "=" $2}' | sort | tr '\n' '|')
[ "$listing" = "résumé ü.txt=6|日本 🎉.txt=12|" ] || fail "the archive holds: $listing"

# A folder nobody may write in, root included.
rm "$workdir/data/data.7z"
chattr +i "$workdir/data"
# The list is empty again; "Compress", which has the focus now, wears a frame that hides the link's underline.
read -r browse_x browse_y <<<"$empty_list_browse"
pick_file "$workdir/data/résumé ü.txt"
skip=$(log_lines)
click_at "$compress_x" "$compress_y"
wait_log 'shown QMessageBox .*text="You are unable to save the file in the specified destination' 60 "$skip" ||
    fail "no access message"
[ "$(ls -A "$workdir/data" | tr '\n' '|')" = "résumé ü.txt|日本 🎉.txt|" ] || fail "left: $(ls -A "$workdir/data")"
xdotool key Return
wait_log 'hidden QMessageBox' 10 "$skip" || fail "Return did not close the access message"
chattr -i "$workdir/data"

# Cancel by a click in the packing window: 7-Zip stops and nothing is left; the list stays.
read -r browse_x browse_y <<<"$listed_browse"
pick_file "$workdir/big/big.txt"
find_buttons
skip=$(log_lines)
click_at "$compress_x" "$compress_y"
wait_log 'shown QProgressDialog .*text="Packing 2 files' 30 "$skip" || fail "no packing window"
main=$window
tries=100 retry eval 'window=$(xdotool search --onlyvisible --name "^Parcelo$" | grep -vx "$main" | head -n 1)' ||
    fail "the packing window is not on screen"
find_buttons # its one button
click_at "$compress_x" "$compress_y"
window=$main
wait_log 'hidden QProgressDialog' 10 "$skip" || fail "Cancel did not close the packing window"
# This program's 7-Zip, by the folder it lies in: other work on this machine may run a util/7z.exe too.
sevenzip='windows-x64.util.7z\.exe'
tries=100 retry eval '! pgrep -f "$sevenzip" >/dev/null' || fail "7-Zip still runs after Cancel"
[ "$(ls -A "$workdir/big")" = big.txt ] || fail "Cancel left: $(ls -A "$workdir/big")"
[ "$(ls -A "$workdir/data" | wc -l)" = 2 ] || fail "Cancel left: $(ls -A "$workdir/data")"
wait_log 'shown QMessageBox' 1 "$skip" && fail "Cancel showed a message"
echo "windows program: ok"
