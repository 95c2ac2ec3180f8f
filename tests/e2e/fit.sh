#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Screen: 1024x600x24
# The window stays on a small screen whatever it shows: sixty files added through the open dialog by
# typing, with a destination path of some two hundred characters, leave the whole window and every
# button on the screen, the path shortened; the success box stays on the screen too. Then the same
# on 1920 x 1080 at scale 2, in an Xvfb of its own.
set -euo pipefail
source "$(dirname "$0")/../e2e-common.bash"

if [ -z "${FIT_SCALED:-}" ]; then
    FIT_SCALED=1 QT_SCALE_FACTOR=2 bash "$(dirname "$0")/../with-xvfb.sh" 1920x1080x24 bash "$0" "$@" ||
        fail "the scaled run failed"
fi

# Fails unless the window $1 lies wholly on the screen.
expect_on_screen() {
    local x y w h sw sh
    read -r x y w h < <(geometry "$1")
    read -r sw sh < <(xdpyinfo | awk '/dimensions:/{split($2, d, "x"); print d[1], d[2]}')
    ((x >= 0 && y >= 0 && x + w <= sw && y + h <= sh)) || fail "$2 at $x,$y ${w}x$h is not on the ${sw}x$sh screen"
}

folder="$workdir/$(printf 'Holiday photos from the long summer %.0s' 1 2 3 4 5 | cut -c 1-180)"
mkdir -p "$folder"
names=()
for i in $(seq -w 1 60); do
    echo "file $i" >"$folder/f$i.txt"
    names+=("\"f$i.txt\"")
done

start_parcelo
expect_on_screen "$window" "the new window"
read -r _ _ width _ < <(geometry)
# Focus starts on "Browse for files", so Return opens the dialog.
xdotool key Return
find_window 'Select one or more files to open' >/dev/null || fail "the open dialog did not appear"
sleep 0.5
xdotool type --delay 2 "$folder/"
xdotool key Return
sleep 0.5
xdotool type --delay 2 "${names[*]}"
xdotool key Return
wait_log 'listed ".*/f60.txt"' 30 >/dev/null || fail "the sixty files were not listed"

expect_on_screen "$window" "the window with sixty files"
# The long destination is shortened, not making the window wider.
read -r _ _ now _ < <(geometry)
[ "$now" = "$width" ] || fail "the window grew from $width to $now pixels wide"
find_buttons
screenshot "$builddir/e2e-fit-${QT_SCALE_FACTOR:-1}.png"
click_at "$compress_x" "$compress_y"
line=$(wait_log 'shown QMessageBox.*text="Compression finished successfully!"' 60) || fail "no success box"
[[ $line == *"$folder/"*".7z"* ]] || fail "the success box does not name the archive: $line"
# The box is logged as it shows; under load the window system maps it a moment later.
success_box() { box=$(xdotool search --onlyvisible --name '^Parcelo$' | grep -v "^$window\$" | head -n 1); }
tries=100 retry success_box || fail "the success box is not on the screen"
expect_on_screen "$box" "the success box"
xdotool key Return
wait_log 'hidden QMessageBox' 20 >/dev/null || fail "Return did not close the success box"
[ "$(7zz l -ba "$folder"/*.7z | grep -c 'f[0-9][0-9].txt$')" = 60 ] || fail "the archive does not hold the sixty files"
echo "fit (scale ${QT_SCALE_FACTOR:-1}): ok"
