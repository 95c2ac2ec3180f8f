#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# The real program starts, maps its 980 x 660 window titled "Parcelo", and "Cancel" ends it with
# status 0.
set -euo pipefail
source "$(dirname "$0")/../e2e-common.bash"

start_parcelo -some-argument
read -r _ _ width height < <(geometry)
[ "$width" = 980 ] && [ "$height" = 660 ] || fail "window is ${width}x${height}, not 980x660"

find_buttons
click_at "$cancel_x" "$cancel_y"
wait_exit
[ "$status" = 0 ] || { cat "$workdir/log"; fail "Cancel ended the program with status $status"; }
echo "startup: ok"
