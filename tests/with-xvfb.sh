#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Runs a command in an Xvfb of its own: with-xvfb.sh WxHxD command... The server picks a free
# display itself (-displayfd), so runs started at the same moment never race for one display
# number, as "xvfb-run -a" can.
set -euo pipefail
screen=$1
shift
number=$(mktemp)
Xvfb -displayfd 3 -screen 0 "$screen" -nolisten tcp 3>"$number" 2>/dev/null &
server=$!
trap 'kill "$server" 2>/dev/null || true; wait "$server" 2>/dev/null || true; rm -f "$number"' EXIT
for _ in $(seq 1 600); do
    [ -s "$number" ] && break
    kill -0 "$server" 2>/dev/null || { echo "Xvfb did not start" >&2; exit 1; }
    sleep 0.1
done
display=$(tr -dc 0-9 <"$number")
[ -n "$display" ] || { echo "Xvfb named no display" >&2; exit 1; }
DISPLAY=:$display "$@"
