#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# The file list by hand: two files picked by typing in the open dialog, one renamed by typing in the
# rename box (typing replaces the name, the extension stays), a name with ":" refused with the reason
# and offered again as typed, then mended there, and the renamed entry removed by its tile's button.
set -euo pipefail
source "$(dirname "$0")/../e2e-common.bash"

mkdir -p "$workdir/files"
head -c 5000 /dev/zero >"$workdir/files/itinerary.pdf"
head -c 300 /dev/zero >"$workdir/files/notes.txt"

# Prints one line per tile, left to right: the tile's left and top edges relative to the window.
# Tiles are found by their border colour, which runs down both sides 88 pixels apart.
locate_tiles() {
    scan_window '
border = bytes((0xBC, 0xD1, 0xFF))
edges = []
for c in range(w):
    run = 0
    for r in range(h):
        run = run + 1 if px(c, r) == border else 0
        if run == 40:
            edges.append((c, r - 39))
# The remove button covers the top of the right side.
lefts = [(c, r) for c, r in edges if any(abs(c2 - c - 87) <= 1 and abs(r2 - r) <= 40 for c2, r2 in edges)]
for left, top in lefts:
    print(left, top - 8)
'
}

start_parcelo
for name in itinerary.pdf notes.txt; do
    # The destination row that shows with the first file moves the button.
    find_buttons
    pick_file "$workdir/files/$name"
    wait_log "listed \"$workdir/files/$name\"" >/dev/null || fail "$name was not listed"
done

mapfile -t tiles < <(locate_tiles) || fail "tiles not found"
[ "${#tiles[@]}" = 2 ] || fail "${#tiles[@]} tiles are shown, not 2"
read -r left top <<<"${tiles[0]}"
# The name sits below the icon, half way down the tile; the remove button in its top right corner.
name_x=$((left + 44)) name_y=$((top + 51)) remove_x=$((left + 78)) remove_y=$((top + 15))

# Typing replaces the selected name and keeps ".pdf".
click_at "$name_x" "$name_y"
wait_log 'shown QInputDialog title="Change name" text="file name:" value="itinerary.pdf"' >/dev/null ||
    fail "the rename box did not show the name"
wait_dialog_focus "Change name"
# A box to answer: its frame offers close, no maximise.
actions=$(xprop -id "$(xdotool getactivewindow)" _NET_WM_ALLOWED_ACTIONS)
[[ $actions == *CLOSE* && $actions != *MAXIMIZE* ]] || fail "the rename box allows $actions"
xdotool type --delay 20 report
xdotool key Return
wait_log 'hidden QInputDialog title="Change name" .* value="report.pdf"' >/dev/null ||
    fail "typing did not keep the extension"
wait_log "renamed \"$workdir/files/itinerary.pdf\" \".*/report.pdf\"" >/dev/null || fail "the entry was not renamed"

# A name with ":" is refused with the reason, and the box comes back with what was typed.
lines=$(log_lines)
click_at "$name_x" "$name_y"
wait_log 'shown QInputDialog .* value="report.pdf"' 20 "$lines" >/dev/null || fail "the rename box did not open again"
wait_dialog_focus "Change name"
xdotool type --delay 20 'q3:final'
xdotool key Return
wait_log 'shown QMessageBox .* text="The name you provided is not a valid file name, Please choose another name" informative="A name cannot hold \\":\\""' 20 "$lines" >/dev/null ||
    fail "the refusal did not say which character is not allowed"
wait_dialog_focus
xdotool key Return
wait_log 'shown QInputDialog title="Change name" .* value="q3:final.pdf"' 20 "$lines" >/dev/null ||
    fail "the rename box did not come back with the typed name"
wait_dialog_focus "Change name"
# Mended in place: the colon goes, and nothing else needs typing again.
xdotool key Home Right Right Delete Return
wait_log "renamed \".*/report.pdf\" \".*/q3final.pdf\"" 20 "$lines" >/dev/null || fail "the mended name was not taken"

# The remove button takes the renamed entry off the list; the other stays.
click_at "$remove_x" "$remove_y"
wait_log 'remove ".*/q3final.pdf"' >/dev/null || fail "the remove button did not remove the entry"
tries=50 retry eval '[ "$(locate_tiles | wc -l)" = 1 ]' || fail "the tile stays after the removal"
grep -c 'shown QMessageBox' "$workdir/log" | grep -qx 1 || fail "more message boxes showed than the one refusal"
echo "files: ok"
