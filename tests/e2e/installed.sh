#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# The installed program, started through its bin/ link from an unrelated folder, packs files with
# the util/7z.exe beside its real executable.
set -euo pipefail
source "$(dirname "$0")/../e2e-common.bash"

cmake --install "$builddir" --prefix "$workdir/stage" >/dev/null
[ -f "$workdir/stage/share/applications/parcelo.desktop" ] || fail "no desktop entry"
[ -f "$workdir/stage/share/icons/hicolor/128x128/apps/parcelo.png" ] || fail "no icon"

mkdir -p "$workdir/Holiday"
echo "first" > "$workdir/Holiday/notes.txt"
echo "second" > "$workdir/Holiday/list.txt"
parcelo="$workdir/stage/bin/parcelo"
start_parcelo
# The destination row appears with the first file and moves the buttons.
find_buttons
pick_file "$workdir/Holiday/notes.txt"
find_buttons
pick_file "$workdir/Holiday/list.txt"
find_buttons
click_at "$compress_x" "$compress_y"
wait_log 'shown QMessageBox .*text="Compression finished successfully!"' 60 >/dev/null || fail "no success box"
archive="$workdir/Holiday/Holiday.7z"
[ -s "$archive" ] || fail "no archive at $archive"
wait_dialog_focus
xdotool key Return
wait_log 'hidden QMessageBox' 10 >/dev/null || fail "the success box did not close"

entries=$(7zz l -ba -slt -- "$archive" | sed -n 's/^Path = //p' | sort | tr '\n' ' ')
[ "$entries" = "list.txt notes.txt " ] || fail "archive holds: $entries"
echo "installed: ok"
