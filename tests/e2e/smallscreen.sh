#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Screen: 1024x600x24
# On a screen lower than the window, the window opens whole and centred on it, and "Compress" and
# "Cancel" are in sight and work.
set -euo pipefail
source "$(dirname "$0")/../e2e-common.bash"

start_parcelo
read -r x y width height < <(geometry)
read -r screen_width screen_height < <(xwininfo -root | awk '/Width:/{w=$NF} /Height:/{h=$NF} END{print w, h}')
echo "window ${width}x${height}+${x}+${y} on ${screen_width}x${screen_height}"
[ "$x" -ge 0 ] && [ "$y" -ge 0 ] && [ $((x + width)) -le "$screen_width" ] &&
    [ $((y + height)) -le "$screen_height" ] || fail "the window does not fit the screen"
[ "$width" = 980 ] || fail "the window is ${width} wide, not 980, though that fits"
[ $(((screen_width - width) / 2 - x)) -le 1 ] && [ $((x - (screen_width - width) / 2)) -le 1 ] &&
    [ $(((screen_height - height) / 2 - y)) -le 1 ] && [ $((y - (screen_height - height) / 2)) -le 1 ] ||
    fail "the window is not centred"

find_buttons
[ $((compress_y + 10)) -le "$height" ] || fail "Compress is cut off"
click_at "$cancel_x" "$cancel_y"
wait_exit
[ "$status" = 0 ] || { cat "$workdir/log"; fail "Cancel ended the program with status $status"; }
echo "smallscreen: ok"
