#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Screen: 1024x600x24
# The real program opens its 980-wide window whole and centred on a screen lower than the window,
# with "Compress" in sight, and "Cancel" ends it with status 0.
set -euo pipefail
source "$(dirname "$0")/../e2e-common.bash"

start_parcelo -some-argument
read -r x y width height < <(geometry)
echo "window ${width}x${height}+${x}+${y}"
[ "$width" = 980 ] && [ "$height" -le 600 ] || fail "the window is ${width}x${height}, not 980 wide and within 600"
[ "$x" = $(((1024 - width) / 2)) ] && [ "$y" = $(((600 - height) / 2)) ] || fail "the window is not centred"

find_buttons
[ $((compress_y + 10)) -le "$height" ] || fail "Compress is cut off"
click_at "$cancel_x" "$cancel_y"
wait_exit
[ "$status" = 0 ] || fail "Cancel ended the program with status $status"
echo "startup: ok"
